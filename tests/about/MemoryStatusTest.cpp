#include "about/MemoryStatus.h"

#include "base/Twips.h"

#include <QLocale>
#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace {

constexpr quint64 kGiB = quint64(1) << 30;

// Makes a locale the default for one test and puts the old one back.
class DefaultLocale
{
public:
    explicit DefaultLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(previous); }

private:
    QLocale previous;
};

const char kSampleMeminfo[] = "MemTotal:       24683752 kB\n"
                              "MemFree:        24405992 kB\n"
                              "MemAvailable:   24376224 kB\n"
                              "CommitLimit:    12341876 kB\n"
                              "Committed_AS:     339724 kB\n"
                              "VmallocTotal:   34359738367 kB\n";

} // namespace

TEST(Meminfo, ReadsTotalMemoryAndCommitCharge)
{
    const MemoryStatus status = ParseMeminfo(kSampleMeminfo);
    EXPECT_EQ(status.TotalPhys, quint64(24683752) * 1024);
    EXPECT_EQ(status.PageFileInUse, quint64(339724) * 1024);
}

TEST(Meminfo, CountsBeyondThirtyTwoBitsStayWhole)
{
    const MemoryStatus status = ParseMeminfo("MemTotal: 8589934592 kB\nCommitted_AS: 4294967297 kB");
    EXPECT_EQ(status.TotalPhys, quint64(8589934592) * 1024);
    EXPECT_EQ(status.PageFileInUse, quint64(4294967297) * 1024);
}

TEST(Meminfo, MissingOrMalformedFiguresStayEmpty)
{
    const MemoryStatus none = ParseMeminfo("MemFree: 100 kB\nCommitLimit: 200 kB\n");
    EXPECT_FALSE(none.TotalPhys);
    EXPECT_FALSE(none.PageFileInUse);

    // A longer name that begins with ours, a figure without its unit, a sign,
    // a count whose bytes overflow 64 bits.
    EXPECT_FALSE(ParseMeminfo("MemTotalHigh: 100 kB\n").TotalPhys);
    EXPECT_FALSE(ParseMeminfo("MemTotal: 100\n").TotalPhys);
    EXPECT_FALSE(ParseMeminfo("MemTotal: -100 kB\n").TotalPhys);
    EXPECT_FALSE(ParseMeminfo("MemTotal: 18014398509481984 kB\n").TotalPhys);

    // One missing figure leaves the other.
    const MemoryStatus half = ParseMeminfo("Committed_AS: 7 kB");
    EXPECT_FALSE(half.TotalPhys);
    EXPECT_EQ(half.PageFileInUse, 7 * 1024u);
}

TEST(Meminfo, QueriesTheFileItIsGiven)
{
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write(kSampleMeminfo);
    file.close();
    EXPECT_EQ(QueryMemoryStatus(file.fileName()).TotalPhys, quint64(24683752) * 1024);

    const MemoryStatus missing = QueryMemoryStatus(file.fileName() + QStringLiteral(".gone"));
    EXPECT_FALSE(missing.TotalPhys);
    EXPECT_FALSE(missing.PageFileInUse);
}

TEST(Meminfo, TheRunningSystemReportsBothFigures)
{
    const MemoryStatus status = QueryMemoryStatus();
    ASSERT_TRUE(status.TotalPhys);
    ASSERT_TRUE(status.PageFileInUse);
    EXPECT_GT(*status.TotalPhys, 0u);
}

TEST(KilobyteForm, RoundsHalvesUpAndShowsNoDigitsForZero)
{
    DefaultLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(KilobyteForm(0), QString());
    EXPECT_EQ(KilobyteForm(511), QString());
    EXPECT_EQ(KilobyteForm(512), QStringLiteral("1"));
    EXPECT_EQ(KilobyteForm(1535), QStringLiteral("1"));
    EXPECT_EQ(KilobyteForm(1536), QStringLiteral("2"));
    EXPECT_EQ(KilobyteForm(999 * 1024), QStringLiteral("999"));
    EXPECT_EQ(KilobyteForm(1000 * 1024), QStringLiteral("1,000"));
}

TEST(KilobyteForm, GroupsLargeCountsInFull)
{
    DefaultLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(KilobyteForm(kGiB), QStringLiteral("1,048,576"));
    EXPECT_EQ(KilobyteForm(3 * kGiB), QStringLiteral("3,145,728"));
    EXPECT_EQ(KilobyteForm(5 * kGiB), QStringLiteral("5,242,880"));
    EXPECT_EQ(KilobyteForm(~quint64(0)), QStringLiteral("18,014,398,509,481,984"));
}

TEST(KilobyteForm, UsesTheDefaultLocalesSeparator)
{
    const QLocale before;
    {
        DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(KilobyteForm(kGiB), QStringLiteral("1.048.576"));
    }
    EXPECT_EQ(QLocale(), before);
    {
        // The C locale turns grouping off for numbers; the form groups anyway.
        DefaultLocale c(QLocale::c());
        EXPECT_EQ(KilobyteForm(3 * kGiB), QStringLiteral("3,145,728"));
    }
}

TEST(Twips, FifteenMakeAPixelAt96DpiAndDpiScales)
{
    EXPECT_EQ(TwipsToPixels(15, 96), 1);
    EXPECT_EQ(TwipsToPixels(4785, 96), 319);
    EXPECT_EQ(TwipsToPixels(7, 96), 0);
    EXPECT_EQ(TwipsToPixels(8, 96), 1);
    EXPECT_EQ(TwipsToPixels(-195, 96), -13);
    EXPECT_EQ(TwipsToPixels(4785, 120), 399);
    EXPECT_EQ(TwipsToPixels(4785, 192), 638);
    EXPECT_DOUBLE_EQ(PixelsToTwips(13, 96), 195);
    EXPECT_DOUBLE_EQ(PixelsToTwips(13, 144), 130);
}
