#pragma once
// platform/sound/: the sound player process and its module over Qt Multimedia.
// What the program and its sound player process agree on. Each sound plays in a process of its
// own, "kelmora_play", which the program starts for it and ends (SIGKILL) when the sound is
// stopped, replaced or given up on: whatever a sound server that does not answer holds, the
// process takes with it. The player opens and checks the WAV file at once, then loads the module
// (Qt Multimedia and everything it brings) to play it.
//
//   kelmora_play PARENT-PID FILE      plays FILE
//   kelmora_play PARENT-PID --chime   plays the chime built into the module
//
// The player writes kBegunByte into descriptor kReportDescriptor once the first samples went to
// the sound output, and exits with one of the codes below. It ends by itself when the process
// PARENT-PID does.

namespace kelmora::player {

inline constexpr int kReportDescriptor = 3;
inline constexpr char kBegunByte = 'S';
inline constexpr char kChimeArgument[] = "--chime";

enum ExitCode : int {
  kFinished = 0,     // played to its end
  kUnplayable = 10,  // not a WAV the player takes, or the output refused or lost it
  kNoOutput = 11,    // no sound output at all (no sound server)
  kNoModule = 12,    // the module could not be loaded
  kUsage = 13,       // started with the wrong arguments
};

// The module's entry point, found by this name: plays the WAV file open on wav_descriptor (the
// chime when it is -1), reports to report_descriptor, and ends the process with the exit code.
inline constexpr char kPlaySymbol[] = "kelmora_play_sound";
using PlayFunction = int (*)(int argc, char** argv, int wav_descriptor, int report_descriptor);

// The module's file name, in the player's own folder.
inline constexpr char kModuleFileName[] = "kelmora_sound.so";

}  // namespace kelmora::player
