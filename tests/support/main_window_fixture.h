#pragma once
// One fixture for the main window's behaviour: a data folder of its own, the fake services, a
// fake view, and Form1 started on them as the program starts it.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/form1.h"
#include "app/main_window_view.h"
#include "editor/form2.h"
#include "fakes/fake_services.h"
#include "fakes/fake_editor_view.h"
#include "temp_folder.h"

namespace kelmora::testing {

// The main window's view: the last state rendered, the icon, the window's place.
class FakeMainView : public fakes::FakeWindowOf<MainWindowView> {
 public:
  MainWindowState state;
  int renders = 0;
  IconImage icon{};
  fakes::FakeEditorView editor;
  void Render(const MainWindowState& rendered) override {
    state = rendered;
    ++renders;
  }
  void SetIcon(const IconImage& shown) override { icon = shown; }
  EditorView& EditorWindow(Form2& /*behaviour*/) override { return editor; }
};

// An alarm line of the four fields.
inline std::string Alarm(const std::string& due, const std::string& interval = "0z",
                         const std::string& count = "E", const std::string& sound = "") {
  return due + "\t" + interval + "\t" + count + "\t" + sound;
}

class MainWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    fakes_.paths.data_folder = folder_;
    fakes_.paths.default_sound = "/opt/kelmora/share/kelmora/sounds/alarm.wav";
  }
  void TearDown() override { form_.reset(); }

  void WriteFile(const std::string& name, const std::string& content) {
    std::ofstream(folder_ / name, std::ios::binary) << content;
  }
  std::string ReadFile(const std::string& name) {
    std::ifstream in(folder_ / name, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }
  // The settings file with the given interval, modes and colours, as the program writes it.
  static std::string SettingsText(const std::string& interval, int mode1, int mode2,
                                  const std::array<ColorValue, 8>& colours = {}) {
    std::string content = "yyyy/mm/dd hh:mm aaa\r\n" + interval + "\r\n";
    content += " " + std::to_string(mode1) + " \r\n " + std::to_string(mode2) + " \r\n";
    for (ColorValue colour : colours) content += " " + std::to_string(colour) + " \r\n";
    return content;
  }
  void WriteSettings(const std::string& interval, int mode1 = 0, int mode2 = 0,
                     const std::array<ColorValue, 8>& colours = {}) {
    WriteFile("Varnlock.ini", SettingsText(interval, mode1, mode2, colours));
  }
  void SetNow(int hour, int minute, int second) {
    fakes_.clock.now = *MakeDateTime(2003, 11, 9, hour, minute, second);
  }
  Form1& Start() {
    form_.reset();  // a program before this one ends first
    form_ = std::make_unique<Form1>(fakes_.Get(), view_);
    form_->Load();
    return *form_;
  }
  // Adds an alarm line as the user does: in the editor, which hands its lines back as it closes.
  void AddThroughEditor(Form1& form, const std::string& line) {
    form.Command2Click();
    form.Editor()->AddLine(line);
    form.Editor()->Close();
  }
  ColorValue Background() const { return fakes_.appearance.button_face; }

  TempFolder temp_{"form1"};
  std::filesystem::path folder_ = temp_.path();
  fakes::FakeServices fakes_;
  FakeMainView view_;
  std::unique_ptr<Form1> form_;
};

}  // namespace kelmora::testing
