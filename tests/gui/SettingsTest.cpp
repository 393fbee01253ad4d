// The two settings live under organisation "Orvel", application "Vantrel".
#include "app/QtSettingsStore.h"

#include <QSettings>
#include <gtest/gtest.h>

namespace vantrel::test {
namespace {

TEST(QtSettingsStore, StoresStringsUnderOrvelVantrelAndReadsMissingAsEmpty)
{
    {
        QSettings raw(QStringLiteral("Orvel"), QStringLiteral("Vantrel"));
        raw.clear();
    }
    QtSettingsStore store;
    EXPECT_EQ(store.ReadSetting("datadir"), "");
    store.WriteSetting("datadir", "/home/player/.rocksndiamonds");
    store.WriteSetting("outputdir", "/tmp/levels \xC3\xA4");
    QtSettingsStore again;
    EXPECT_EQ(again.ReadSetting("datadir"), "/home/player/.rocksndiamonds");
    EXPECT_EQ(again.ReadSetting("outputdir"), "/tmp/levels \xC3\xA4");
    QSettings raw(QStringLiteral("Orvel"), QStringLiteral("Vantrel"));
    EXPECT_EQ(raw.value(QStringLiteral("datadir")).toString(), QStringLiteral("/home/player/.rocksndiamonds"));
    raw.clear();
}

}  // namespace
}  // namespace vantrel::test
