#include <gtest/gtest.h>

#include "pipeline/EarlierImages.h"

namespace {

const QDateTime Now(QDate(2024, 4, 1), QTime(12, 0));

LastReadout Complete(int hoursSinceFull) {
  return {QByteArray(512 * 33, 'i'), 0, Now.addSecs(-3600 * hoursSinceFull), {}};
}

struct Choice {
  const char* name;
  std::optional<LastReadout> last;
  NewOnlyPolicy policy;
  bool patches;  // the earlier image is given
};

class EarlierImageChoice : public testing::TestWithParam<Choice> {};

TEST_P(EarlierImageChoice, GivesTheImageOnlyWhenThePictureCanBeTrusted) {
  const EarlierImage chosen = ChooseEarlierImage(GetParam().last, GetParam().policy, Now);
  EXPECT_EQ(!chosen.image.isEmpty(), GetParam().patches);
  EXPECT_EQ(chosen.fullReason.isEmpty(), GetParam().patches);
}

LastReadout WithMissed(std::optional<int> missed) {
  LastReadout last = Complete(1);
  last.missedBlocks = missed;
  return last;
}

INSTANTIATE_TEST_SUITE_P(
    Choices, EarlierImageChoice,
    testing::Values(
        Choice{"RecentCompleteReadout", Complete(23), {true, false, 24}, true},
        Choice{"NoEarlierReadout", std::nullopt, {true, false, 24}, false},
        Choice{"FullAsked", Complete(1), {true, true, 24}, false},
        Choice{"LastFullReadoutTooOld", Complete(24), {true, false, 24}, false},
        Choice{"NeverReadInFull", LastReadout{QByteArray(512, 'i'), 0, {}, {}}, {true, false, 24}, false},
        Choice{"EarlierReadoutIncomplete", WithMissed(2), {true, false, 24}, false},
        Choice{"KeptBeforeTheArchiveSaid", WithMissed(std::nullopt), {true, false, 24}, false},
        Choice{"ImageCannotBeRebuilt",
               LastReadout{{},
                           0,
                           Now,
                           QStringLiteral("the image of readout 5 goes back to readout 3, which is missing")},
               {true, false, 24},
               false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
