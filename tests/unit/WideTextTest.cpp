#include <gtest/gtest.h>

#include "stamp/WideText.h"

namespace {

// `start` filled up with 'x' to `length` characters.
WideString OfLength(WideString start, std::size_t length) {
    start.resize(length, u'x');
    return start;
}

TEST(WideText, LongFormOnlyForLongFullPaths) {
    const WideString drive259 = OfLength(u"C:\\Work\\", 259);
    const WideString drive260 = OfLength(u"C:\\Work\\", 260);
    const WideString lowerDrive = OfLength(u"d:\\", 300);
    const WideString unc259 = OfLength(u"\\\\server\\share\\", 259);
    const WideString unc300 = OfLength(u"\\\\server\\share\\", 300);
    const WideString uncLong = u"\\\\?\\UNC\\" + unc300.substr(2);
    const WideString device = OfLength(u"\\\\.\\C:\\", 300);
    const WideString relative = OfLength(u"Work\\", 300);
    const WideString driveRelative = OfLength(u"C:", 300);
    const struct {
        const char* label;
        WideString path;
        WideString longForm;  // LongPathForm
        WideString plain;     // WithoutLongPrefix, as the user reads it
    } cases[] = {
        {"short drive path", u"C:\\Work\\한글.txt", u"C:\\Work\\한글.txt", u"C:\\Work\\한글.txt"},
        {"259 characters", drive259, drive259, drive259},
        {"260 characters", drive260, u"\\\\?\\" + drive260, drive260},
        {"lower-case drive letter", lowerDrive, u"\\\\?\\" + lowerDrive, lowerDrive},
        {"259-character network path", unc259, unc259, unc259},
        {"long network path", unc300, uncLong, unc300},
        {"long form already", u"\\\\?\\" + drive260, u"\\\\?\\" + drive260, drive260},
        {"network long form already", uncLong, uncLong, unc300},
        {"short path in the long form", u"\\\\?\\C:\\a.txt", u"\\\\?\\C:\\a.txt", u"C:\\a.txt"},
        {"device path", device, device, device},
        {"relative path", relative, relative, relative},
        {"drive-relative path", driveRelative, driveRelative, driveRelative},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(LongPathForm(c.path), c.longForm);
        EXPECT_EQ(WithoutLongPrefix(c.path), c.plain);
        EXPECT_EQ(WithoutLongPrefix(c.longForm), c.plain);  // the round trip
    }
}

}  // namespace
