// The settings file Velmora.ini: where it lives, its keys, and how their texts become the
// dialog's flags, start-up modes and start-up values.
//
// [Settings]
// make date=true            the four flags, "true" or "false"
// make time=true
// modify date=true
// modify time=true
// make date time=2010/09/21 13:45.07     the pickers at the last close, as stamp texts
// update date time=2009/01/02 03:04.05
// default day=0             start-up date mode: 0 today, 1 the dates of the last close
// default time=0            start-up time mode: 0 midnight, 1 now, 2 the times of the last close
// path=C:\Photos            the folder the open-file dialog starts in
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "stamp/StampTime.h"
#include "stamp/WideText.h"

namespace settings {

extern const char* const kSection;
extern const char* const kMakeDate;
extern const char* const kMakeTime;
extern const char* const kModifyDate;
extern const char* const kModifyTime;
extern const char* const kMakeDateTime;
extern const char* const kUpdateDateTime;
extern const char* const kDefaultDay;
extern const char* const kDefaultTime;

// Capacities of the read buffers, terminator included.
constexpr std::size_t kFlagCapacity = 5;
constexpr std::size_t kStampCapacity = 20;
constexpr std::size_t kModeCapacity = 2;

// The settings file of a start-up directory (its wide path, however long and whatever its
// characters): the directory, a backslash and "Velmora.ini" (a drive's root, which ends with a
// backslash, so gives two). Empty when the directory is not known; then nothing is read and
// nothing is written.
WideString SettingsPath(const WideString& startupDirectory);

extern const char* const kPath;
// Converts a wide text into the settings file's code page; false unless every character
// converts exactly (no "best fit" stand-in, no default character).
using ExactCodePage = std::function<bool(const WideString& text, std::string& converted)>;

// The "path" value remembered after the open-file dialog: its first result text (the chosen
// file, or the folder of several) cut before its last backslash when one file was chosen, the
// folder itself when several were; a drive's root as "C:\" (not "C:", which names the drive's
// current folder). Nothing (the key is left as it was) when the folder cannot be spelt exactly
// in the file's code page: a best-fit spelling would open the dialog elsewhere.
std::optional<std::string> PathKeyValue(const WideString& firstResult, bool several,
                                        const ExactCodePage& toCodePage);

// A flag is on exactly when its text (read with capacity 5) is "true".
std::int32_t FlagFromText(const std::string& text);
const char* FlagText(std::int32_t flag);

// A mode is the decimal value of the text's first character alone ("12" is 1, "-1" is 0).
long ModeFromText(const std::string& text);
std::string ModeText(long mode);

// Reads one key of the settings: (key, default, capacity) to the text read.
using SettingsReader = std::function<std::string(const char*, const char*, std::size_t)>;

// The start-up values of the four pickers from the stored modes, set in the order creation
// date, modification date, creation time, modification time. A stored stamp text that cannot
// become a value raises StampTimeError; the values set before it keep theirs.
void LoadStartupValues(const SettingsReader& read, StampTime& makeDate, StampTime& modifyDate,
                       StampTime& makeTime, StampTime& modifyTime);

}  // namespace settings
