// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/awaited_answer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace tk358 {
namespace {

using Outcome = AwaitedAnswer::Outcome;
using std::chrono::milliseconds;

// What reaches the slot after it was armed: a decoded answer (prefix and
// parameter code) or a whole line.
struct Offer {
    std::string prefixOrLine;
    int parameterCode = -1;  // -2: a whole line
};

Offer Line(std::string text) {
    return {std::move(text), -2};
}

struct SlotCase {
    const char* name;
    std::string command;  // empty: a relayed line is awaited instead
    int parameterCode;
    std::string linePrefix;
    std::vector<Offer> offers;
    Outcome expected;
};

TEST(AwaitedAnswerTest, TheRightAnswerOrRefusalEndsTheWait) {
    const std::vector<SlotCase> cases = {
        {"answer to the command", "020A00", -1, "", {{"020A00:", -1}}, Outcome::kAnswered},
        {"answer to another command", "020A00", -1, "", {{"050100:", -1}}, Outcome::kNone},
        {"status line while waiting", "028100", -1, "", {{"020200:", -1}}, Outcome::kNone},
        {"read of the awaited code", "028600", 0x12, "", {{"028600:", 0x12}}, Outcome::kAnswered},
        {"read of another code", "028600", 0x12, "", {{"028600:", 0x13}}, Outcome::kNone},
        {"read of code 0", "028600", 0, "", {{"028600:", 0}}, Outcome::kAnswered},
        {"refusal of the command",
         "028700",
         -1,
         "",
         {Line("028700!ZAPIS-ZABLOKOWANY\r\n")},
         Outcome::kRefused},
        {"refusal of another command",
         "028700",
         -1,
         "",
         {Line("028100!KOLEJKA-PELNA\r\n")},
         Outcome::kNone},
        {"answer first, refusal after",
         "028700",
         -1,
         "",
         {{"028700:", -1}, Line("028700!KOLEJKA-PELNA\r\n")},
         Outcome::kAnswered},
        {"refusal first, answer after",
         "028700",
         -1,
         "",
         {Line("028700!KOLEJKA-PELNA\r\n"), {"028700:", -1}},
         Outcome::kRefused},
        {"relayed line", "", -1, "020A00:", {Line("020A00:0102\r\n")}, Outcome::kAnswered},
        {"relay ignores decoded answers", "", -1, "020A00:", {{"020A00:", -1}}, Outcome::kNone},
        {"relay ignores refusals",
         "",
         -1,
         "020A00",
         {Line("028700!KOLEJKA-PELNA\r\n")},
         Outcome::kNone},
    };
    for (const SlotCase& c : cases) {
        SCOPED_TRACE(c.name);
        AwaitedAnswer slot;
        if (c.command.empty()) {
            slot.AwaitLine(c.linePrefix);
        } else {
            slot.AwaitCommand(c.command, c.parameterCode);
        }
        for (const Offer& offer : c.offers) {
            if (offer.parameterCode == -2) {
                slot.OfferLine(offer.prefixOrLine);
            } else {
                slot.OfferAnswer(offer.prefixOrLine, offer.parameterCode);
            }
        }
        EXPECT_EQ(slot.WaitFor(milliseconds(0)), c.expected);
    }
}

TEST(AwaitedAnswerTest, NothingCountsUnlessArmedAndARelayedLineMatchesOnce) {
    AwaitedAnswer slot;
    slot.OfferAnswer("020A00:", -1);
    slot.AwaitCommand("050100");
    slot.OfferAnswer("020A00:", -1);  // before arming, and of another command
    EXPECT_EQ(slot.WaitFor(milliseconds(0)), Outcome::kNone);
    slot.Disarm();
    slot.OfferAnswer("050100:", -1);  // the exchange already gave up
    EXPECT_EQ(slot.WaitFor(milliseconds(0)), Outcome::kNone);

    slot.AwaitLine("028600:");
    EXPECT_TRUE(slot.IsAwaitedLine("028600:0012\r\n"));
    slot.OfferLine("028600:0012\r\n");
    EXPECT_FALSE(slot.IsAwaitedLine("028600:0012\r\n"));  // a second such line is not the answer
    EXPECT_EQ(slot.WaitFor(milliseconds(0)), Outcome::kAnswered);
    slot.AwaitLine("028600:");  // the next relay starts afresh
    EXPECT_EQ(slot.WaitFor(milliseconds(0)), Outcome::kNone);
}

TEST(AwaitedAnswerTest, AnAnswerFromAnotherThreadWakesTheWaiterAtOnce) {
    AwaitedAnswer slot;
    slot.AwaitCommand("023000");
    std::thread reader([&slot] {
        std::this_thread::sleep_for(milliseconds(20));
        slot.OfferAnswer("023000:", -1);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(slot.WaitFor(std::chrono::seconds(10)), Outcome::kAnswered);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    reader.join();
}

}  // namespace
}  // namespace tk358
