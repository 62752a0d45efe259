// A stand-in for the desktop's session manager (X Session Management Protocol, libSM), for the
// tests that play a session asking its programs to save. It listens on a local ICE socket,
// writes the value for SESSION_MANAGER as the first line of its standard output, takes every
// client that registers, and on the command "save" (a line written into the control pipe named
// by its second argument) sends each a SaveYourself (both the state and the data, no shutdown, no
// interaction), as a checkpoint does. What happens goes, a line each, into the log file named by
// its first argument:
//   registered <client id>
//   save-yourself <client id>
//   done <client id> <1 when the client saved, 0 when it failed>
//   closed <client id>

#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

FILE* log_file = nullptr;

struct Client {
  SmsConn connection = nullptr;
  std::string id;
};
std::map<SmsConn, Client> clients;
std::vector<IceConn> connections;

void Log(const std::string& line) {
  std::fprintf(log_file, "%s\n", line.c_str());
  std::fflush(log_file);
}

Status RegisterClient(SmsConn connection, SmPointer, char* previous_id) {
  char* id = SmsGenerateClientID(connection);
  if (id == nullptr) return 0;
  clients[connection] = {connection, id};
  SmsRegisterClientReply(connection, id);
  Log("registered " + std::string(id));
  std::free(id);
  if (previous_id != nullptr) std::free(previous_id);
  return 1;
}

void InteractRequest(SmsConn connection, SmPointer, int) {
  SmsInteract(connection);
}
void InteractDone(SmsConn, SmPointer, Bool) {}
void SaveYourselfRequest(SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}
void SaveYourselfPhase2Request(SmsConn connection, SmPointer) {
  SmsSaveYourselfPhase2(connection);
}
void SaveYourselfDone(SmsConn connection, SmPointer, Bool success) {
  Log("done " + clients[connection].id + (success ? " 1" : " 0"));
}
void CloseConnection(SmsConn connection, SmPointer, int count, char** reasons) {
  Log("closed " + clients[connection].id);
  SmFreeReasons(count, reasons);
  clients.erase(connection);
  SmsCleanUp(connection);
}
void SetProperties(SmsConn, SmPointer, int count, SmProp** properties) {
  for (int i = 0; i < count; ++i) SmFreeProperty(properties[i]);
  std::free(properties);
}
void DeleteProperties(SmsConn, SmPointer, int count, char** names) {
  for (int i = 0; i < count; ++i) std::free(names[i]);
  std::free(names);
}
void GetProperties(SmsConn connection, SmPointer) {
  SmsReturnProperties(connection, 0, nullptr);
}

Status NewClient(SmsConn, SmPointer, unsigned long* mask, SmsCallbacks* callbacks, char**) {
  *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
          SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask |
          SmsSaveYourselfDoneProcMask | SmsCloseConnectionProcMask | SmsSetPropertiesProcMask |
          SmsDeletePropertiesProcMask | SmsGetPropertiesProcMask;
  callbacks->register_client.callback = RegisterClient;
  callbacks->interact_request.callback = InteractRequest;
  callbacks->interact_done.callback = InteractDone;
  callbacks->save_yourself_request.callback = SaveYourselfRequest;
  callbacks->save_yourself_phase2_request.callback = SaveYourselfPhase2Request;
  callbacks->save_yourself_done.callback = SaveYourselfDone;
  callbacks->close_connection.callback = CloseConnection;
  callbacks->set_properties.callback = SetProperties;
  callbacks->delete_properties.callback = DeleteProperties;
  callbacks->get_properties.callback = GetProperties;
  return 1;
}

// A client that goes away ends its connection, not the session manager.
void IgnoreIoError(IceConn) {}

// Any client of this machine may connect: the socket is the test's own.
Bool AnyHost(char*) {
  return True;
}

void SaveAll() {
  for (auto& [connection, client] : clients) {
    Log("save-yourself " + client.id);
    SmsSaveYourself(connection, SmSaveBoth, False, SmInteractStyleNone, False);
  }
}

// Reads the control pipe's commands; false when it has closed.
bool ReadCommands(int control) {
  char buffer[256];
  const ssize_t count = ::read(control, buffer, sizeof buffer - 1);
  if (count <= 0) return count < 0;
  buffer[count] = '\0';
  if (std::strstr(buffer, "save") != nullptr) SaveAll();
  return true;
}

void ServeConnection(IceConn connection) {
  if (IceProcessMessages(connection, nullptr, nullptr) == IceProcessMessagesIOError) {
    IceCloseConnection(connection);
    std::erase(connections, connection);
  }
}

void Accept(IceListenObj listener) {
  IceAcceptStatus status;
  IceConn connection = IceAcceptConnection(listener, &status);
  if (connection == nullptr) return;
  // The connection is set up by the messages that follow.
  while (IceConnectionStatus(connection) == IceConnectPending) {
    if (IceProcessMessages(connection, nullptr, nullptr) == IceProcessMessagesIOError) break;
  }
  if (IceConnectionStatus(connection) == IceConnectAccepted) {
    connections.push_back(connection);
  } else {
    IceCloseConnection(connection);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <log-file> <control-pipe>\n", argv[0]);
    return 2;
  }
  log_file = std::fopen(argv[1], "a");
  IceSetIOErrorHandler(IgnoreIoError);
  const int control = ::open(argv[2], O_RDWR | O_NONBLOCK);  // RDWR: never at its end
  char error[256] = "";
  if (log_file == nullptr || control < 0 ||
      !SmsInitialize("kelmora-test", "1.0", NewClient, nullptr, AnyHost, sizeof error, error)) {
    std::fprintf(stderr, "cannot start: %s\n", error);
    return 1;
  }
  int listener_count = 0;
  IceListenObj* listeners = nullptr;
  if (!IceListenForConnections(&listener_count, &listeners, sizeof error, error)) {
    std::fprintf(stderr, "cannot listen: %s\n", error);
    return 1;
  }
  // Only the local socket is offered to clients.
  std::vector<IceListenObj> local;
  for (int i = 0; i < listener_count; ++i) {
    IceSetHostBasedAuthProc(listeners[i], AnyHost);
    char* address = IceGetListenConnectionString(listeners[i]);
    if (std::strncmp(address, "local/", 6) == 0) local.push_back(listeners[i]);
    std::free(address);
  }
  char* ids = IceComposeNetworkIdList(static_cast<int>(local.size()), local.data());
  std::printf("%s\n", ids);
  std::fflush(stdout);
  std::free(ids);

  for (;;) {
    std::vector<pollfd> waits{{control, POLLIN, 0}};
    for (int i = 0; i < listener_count; ++i) {
      waits.push_back({IceGetListenConnectionNumber(listeners[i]), POLLIN, 0});
    }
    for (IceConn connection : connections) {
      waits.push_back({IceConnectionNumber(connection), POLLIN, 0});
    }
    if (::poll(waits.data(), waits.size(), -1) < 0) continue;
    if ((waits[0].revents & POLLIN) && !ReadCommands(control)) return 0;
    for (int i = 0; i < listener_count; ++i) {
      if (waits[1 + i].revents & POLLIN) Accept(listeners[i]);
    }
    const std::vector<IceConn> ready = connections;
    for (std::size_t i = 0; i < ready.size(); ++i) {
      if (waits[1 + listener_count + i].revents & (POLLIN | POLLHUP)) ServeConnection(ready[i]);
    }
  }
}
