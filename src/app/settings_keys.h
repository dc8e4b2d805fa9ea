#pragma once
// app/: the windows' registry and handlers, not the runtime.
// Every place in the settings store that the program reads or writes.

namespace tollvane::settings_keys {

inline constexpr const char* kApp = "Vuvuririvivur";
inline constexpr const char* kLastSettings = "lastsettings";
inline constexpr const char* kRemYear = "remyear";
inline constexpr const char* kRemMonth = "remmonth";
inline constexpr const char* kRemDay = "remday";
inline constexpr const char* kTimeAlarm = "timealarm";
inline constexpr const char* kAlarmMusic = "AlarmMusic";    // beep frequency, hertz
inline constexpr const char* kAlarmMusic2 = "AlarmMusic2";  // beep duration, milliseconds
inline constexpr const char* kAlarmMusic3 = "AlarmMusic3";  // number of beeps

// Written when a reminder is stored, under the other capitalisation of the application name
// (names are compared without regard to case, so it is the same application). Never read.
inline constexpr const char* kStateApp = "VuvurIrivivur";
inline constexpr const char* kState = "State";
inline constexpr const char* kRemSet = "remset";

}  // namespace tollvane::settings_keys
