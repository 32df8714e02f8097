#include <gtest/gtest.h>

#include "i18n/message_ids.h"
#include "i18n/sequence_status.h"

using namespace sequaflow;
using namespace sequaflow::i18n;

namespace {

SequenceResult Stopped(StopReason why, int steps, std::string phase, bool sent) {
    SequenceResult r;
    r.stopped = why;
    r.steps = steps;
    r.phase = std::move(phase);
    r.sentSomething = sent;
    return r;
}

TEST(SequenceStatus, EachEndingSaysWhatHappenedInTheCurrentLanguage) {
    MessageStore m;
    EXPECT_EQ(SequenceStatusLine(m, SequenceKind::Read, SequenceResult{}), "Odczyt ze sterownika: zakończono");
    EXPECT_EQ(SequenceStatusLine(m, SequenceKind::FileLoad, Stopped(StopReason::NotConnected, 0, "", false)),
              "Wczytanie pliku do sterownika: brak połączenia ze sterownikiem, nic nie wysłano");
    EXPECT_EQ(SequenceStatusLine(m, SequenceKind::Read, Stopped(StopReason::LineLost, 9, "Param.", false)),
              "Odczyt ze sterownika: port sterownika zniknął po 9 krokach (Param.)");

    (void)m.apply(msg::SequenceFactoryReset, "Factory settings");
    (void)m.apply(msg::SequenceCancelled, "%1: stopped after %2 steps (%3)");
    (void)m.apply(msg::SequenceHalfWritten, "; half written");
    EXPECT_EQ(SequenceStatusLine(m, SequenceKind::FactoryReset, Stopped(StopReason::Cancelled, 70, "Mapa 1p", true)),
              "Factory settings: stopped after 70 steps (Mapa 1p); half written");
}

TEST(SequenceStatus, OnlyAWriteThatSentSomethingWarnsOfAHalfWrittenController) {
    MessageStore m;
    (void)m.apply(msg::SequenceHalfWritten, "!");
    const auto lost = Stopped(StopReason::LineLost, 3, "Param.", true);
    EXPECT_EQ(SequenceStatusLine(m, SequenceKind::Read, lost).back(), ')');  // a read writes nothing
    EXPECT_EQ(SequenceStatusLine(m, SequenceKind::MapUpload, lost).back(), '!');
    auto nothingSent = lost;
    nothingSent.sentSomething = false;
    EXPECT_EQ(SequenceStatusLine(m, SequenceKind::MapUpload, nothingSent).back(), ')');
}

TEST(SequenceStatus, PlaceholdersTakeTheirArgumentsInAnyOrderAndLeaveOthersAlone) {
    EXPECT_EQ(FillPlaceholders("%2 before %1", {"a", "b"}), "b before a");
    EXPECT_EQ(FillPlaceholders("100% of %3 and %1%", {"x"}), "100% of %3 and x%");
    EXPECT_EQ(FillPlaceholders("", {"x"}), "");
}

}  // namespace
