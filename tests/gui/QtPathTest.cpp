// File names are bytes: a name that is no UTF-8 comes back from the window's
// text unchanged.
#include "gui/base/QtText.h"

#include <gtest/gtest.h>

#include <string>

namespace vantrel {
namespace {

TEST(QtPathTest, EveryNameComesBackByteForByte)
{
    for (const std::string& name : {std::string("out_\xe9.level"), std::string("/tmp/lvl_\xff\xfe/a.level"),
                                   std::string("caf\xc3\xa9.level"), std::string("\xc0\xaf overlong"),
                                   std::string("\xed\xa0\x80 surrogate"), std::string("cut \xe2\x82"),
                                   std::string("\xf0\x9f\x98\x80 smile"), std::string("plain")}) {
        EXPECT_EQ(ToPath(FromPath(name)), name) << name;
    }
    EXPECT_EQ(FromPath("caf\xc3\xa9.level"), QString::fromUtf8("caf\xc3\xa9.level")) << "UTF-8 shows as text";
    EXPECT_EQ(ToPath(QString::fromUtf8("caf\xc3\xa9")), "caf\xc3\xa9");
}

}  // namespace
}  // namespace vantrel
