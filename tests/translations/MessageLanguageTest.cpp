#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>
#include <functional>

#include "core/Win1250.h"
#include "decode/DeviceChannels.h"
#include "readout/IncompleteLog.h"
#include "translations/Translation.h"
#include "views/AxisScale.h"
#include "views/WindowModel.h"
#include "watch/LogAlarms.h"

// One function per message: Hungarian, the texts' own language, without a translation; English once the
// English translation is installed, as vald_read and vald_archive install it at start.

namespace {

// The English translation installed for as long as it lives.
class EnglishInstalled {
 public:
  EnglishInstalled() { InstallEnglish(*QCoreApplication::instance()); }
  ~EnglishInstalled() { qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator*>()); }
};

const DeviceType& Agate() {
  return *FindDeviceType(2);
}

Alarm TemperatureAlarm(LimitSide side, double limit, double extreme) {
  return {0, side, limit, {2024, 3, 1, 0, 10}, {2024, 3, 1, 0, 20}, 2, extreme};
}

struct Message {
  const char* name;
  std::function<QString()> text;
  const char* hungarian;  // UTF-8
  const char* english;
};

const Message Messages[] = {
    {"alarm by caption",
     [] {
       return AlarmText(TemperatureAlarm(LimitSide::High, 8, 9.1), Agate(), ',', QuantityNaming::Caption);
     },
     "1. csatorna (Hőmérséklet) a felső határ felett 8 °C: 2024-03-01 00:10 – 2024-03-01 00:20, "
     "2 rekord, szélsőérték 9,1 °C",
     "channel 1 (Temperature) above 8 °C from 2024-03-01 00:10 to 2024-03-01 00:20, 2 records, "
     "extreme 9,1 °C"},
    {"alarm by key",
     [] { return AlarmText(TemperatureAlarm(LimitSide::Low, 2, -0.5), Agate(), '.', QuantityNaming::Key); },
     "1. csatorna (temperature) az alsó határ alatt 2 °C: 2024-03-01 00:10 – 2024-03-01 00:20, "
     "2 rekord, szélsőérték -0.5 °C",
     "channel 1 (temperature) below 2 °C from 2024-03-01 00:10 to 2024-03-01 00:20, 2 records, "
     "extreme -0.5 °C"},
    {"missed blocks",
     [] {
       return MissedBlocksText({{29, 0}, {30, 0}, {31, 0}, {3, 40}}, 52);
     },
     "ezekre a blokkokra nem érkezett válasz: 29, 30, 31; ezekre a blokkokra rövid válasz "
     "érkezett: 3 (40 bájt); 52 rekord elveszett",
     "no reply for blocks 29, 30, 31; short reply for blocks 3 (40 bytes); 52 records lost"},
    {"missed blocks, runs joined",
     [] {
       return MissedBlocksText({{29, 0}, {30, 0}, {31, 0}, {7, 600}}, 0, {.joinRuns = true});
     },
     "ezekre a blokkokra nem érkezett válasz: 29-31; ezekre a blokkokra túl hosszú válasz "
     "érkezett: 7 (600 bájt)",
     "no reply for blocks 29-31; oversized reply for blocks 7 (600 bytes)"},
    {"missed blocks, brief",
     [] {
       return MissedBlocksText({{30, 0}, {31, 0}, {2, 40}, {7, 600}}, 0, {.brief = true});
     },
     "nem válaszolt blokkok: 30, 31; rövid válasz: 2 (40 bájt); túl hosszú válasz: 7 (600 bájt)",
     "blocks without a reply: 30, 31; short reply: 2 (40 bytes); oversized reply: 7 (600 bytes)"},
    {"incomplete log",
     [] {
       return IncompleteLogMessage({{30, 0}}, 0);
     },
     "A napló hiányos: ezekre a blokkokra nem érkezett válasz: 30.",
     "Incomplete log: no reply for blocks 30."},
    {"suspect log",
     [] {
       return SuspectLogMessage({{{5, 2}}, 3, 4});
     },
     "Gyanús napló: a 5. blokk megegyezik a 2. blokkal; az idő 3 helyen visszafelé lép.\n"
     "A naplóban 4 rekord dátuma érvénytelen, ezek nem kerültek az archívumba.",
     "Suspect log: block 5 repeats block 2; 3 steps back in time.\n"
     "In the log: 4 records with an invalid date, not archived."},
    {"channel label", [] { return DeviceChannels(Agate())[1].Label(); }, "Hőmérséklet 2 (°C)",
     "Temperature 2 (°C)"},
    {"window text", [] { return FromWin1250(WindowModel().labelDevice); }, "Eszköz neve", "Device name"},
    {"scale box caption", [] { return FromWin1250(ScaleInputCaption()); }, "Skála növelés csökkentés mértéke",
     "Scale step"},
};

TEST(MessageLanguage, HungarianWithoutATranslationEnglishWithTheEnglishOne) {
  for (const Message& message : Messages)
    EXPECT_EQ(message.text().toStdString(), message.hungarian) << message.name;
  const EnglishInstalled english;
  for (const Message& message : Messages)
    EXPECT_EQ(message.text().toStdString(), message.english) << message.name;
}

// The archive and the broker keep each quantity's English caption in the catalogue; the translation
// gives the same one.
TEST(MessageLanguage, EnglishCaptionsAreTheCataloguesOwn) {
  const EnglishInstalled english;
  for (const Quantity& quantity : QuantityTable())
    EXPECT_EQ(QuantityCaption(quantity).toStdString(), quantity.labelEn) << quantity.key;
}

}  // namespace
