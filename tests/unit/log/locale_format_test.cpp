// SPDX-License-Identifier: GPL-3.0-or-later
// The user's locale as the log and the status line see it, the interval text
// and when a write failure is shown.

#include <gtest/gtest.h>

#include <locale.h>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "log/locale_format.h"
#include "log/log_interval.h"
#include "log/log_line.h"
#include "log/log_write_health.h"
#include "log_test_support.h"

namespace tk358 {
namespace {

constexpr const char* kPolish = "pl_PL.UTF-8";

// Sets an environment variable for the test and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        setenv(name, value, 1);
        tzset();
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
        tzset();
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Formats on this thread under the named locale, leaving the program's alone.
class ScopedThreadLocale {
public:
    explicit ScopedThreadLocale(const char* name)
        : locale_(newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0))) {
        if (ok()) {
            previous_ = uselocale(locale_);
        }
    }
    ~ScopedThreadLocale() {
        if (ok()) {
            uselocale(previous_);
            freelocale(locale_);
        }
    }
    bool ok() const { return locale_ != static_cast<locale_t>(0); }

private:
    locale_t locale_;
    locale_t previous_ = static_cast<locale_t>(0);
};

TEST(LocaleFormatTest, DecimalSignOfNamedLocales) {
    EXPECT_EQ(DecimalSignOfLocale("C"), ".");
    EXPECT_EQ(DecimalSignOfLocale("xx_XX.no-such-locale"), std::nullopt);
    std::optional<std::string> polish = DecimalSignOfLocale(kPolish);
    if (!polish) {
        GTEST_SKIP() << "pl_PL.UTF-8 is not installed";
    }
    EXPECT_EQ(*polish, ",");
}

TEST(LocaleFormatTest, UserLocaleGivesSemicolonAndCommaWithoutChangingProgramLocale) {
    if (!DecimalSignOfLocale(kPolish)) {
        GTEST_SKIP() << "pl_PL.UTF-8 is not installed";
    }
    ScopedEnv polish("LC_ALL", kPolish);
    LogLineBuilder builder(UserLogEnvironment());
    LogLine line = builder.Build(LogLineOptions{}, test::GoodReadings());
    EXPECT_NE(line.text.find(";21,5;22,0;22,0\r\n"), std::string::npos) << line.text;
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");

    ScopedEnv broken("LC_ALL", "xx_XX.no-such-locale");
    EXPECT_EQ(UserDecimalSign(), ".");
}

TEST(LocaleFormatTest, DateTimeFollowsTheTimeLocale) {
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 7;
    time.tm_wday = 1;
    time.tm_hour = 19;
    time.tm_min = 50;
    time.tm_sec = 42;
    {
        ScopedThreadLocale c("C");
        EXPECT_EQ(FormatDateTime(time), "Mon Dec  7 19:50:42 2026");
    }
    ScopedThreadLocale polish(kPolish);
    if (!polish.ok()) {
        GTEST_SKIP() << "pl_PL.UTF-8 is not installed";
    }
    std::string text = FormatDateTime(time);
    EXPECT_NE(text.find("gru"), std::string::npos) << text;
    EXPECT_NE(text.find("2026"), std::string::npos) << text;
    EXPECT_NE(text.find("19:50:42"), std::string::npos) << text;
}

TEST(LogIntervalTest, ClampedToTheDialogsRange) {
    EXPECT_EQ(ClampLogInterval(0), 1);
    EXPECT_EQ(ClampLogInterval(86400), 86399);
}

TEST(LogWriteHealthTest, FailureShownOnceUntilRecovered) {
    using Change = LogWriteHealth::Change;
    LogWriteHealth health;
    EXPECT_EQ(health.Record(0), Change::kNone);
    EXPECT_EQ(health.Record(ENOSPC), Change::kFailed);
    EXPECT_TRUE(health.Failing());
    EXPECT_EQ(health.Record(EIO), Change::kNone);
    EXPECT_EQ(health.Record(0), Change::kRecovered);
    EXPECT_FALSE(health.Failing());
    EXPECT_EQ(health.Record(0), Change::kNone);
    EXPECT_EQ(health.Record(ENOSPC), Change::kFailed);
    health.Reset();
    EXPECT_EQ(health.Record(ENOSPC), Change::kFailed);
}

}  // namespace
}  // namespace tk358
