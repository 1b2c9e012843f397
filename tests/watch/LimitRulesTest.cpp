#include <gtest/gtest.h>

#include "core/ValdError.h"
#include "support/TempFolder.h"
#include "watch/LimitRules.h"

namespace {

const DeviceType& Iolite() {
  return *FindDeviceType(27);  // six temperatures, then six humidities
}

struct MalformedLine {
  const char* content;
  const char* message;
};

class LimitsFileRefuses : public testing::TestWithParam<MalformedLine> {};

TEST_P(LimitsFileRefuses, NamingTheLine) {
  try {
    ReadLimitRules(GetParam().content, QStringLiteral("limits.csv"));
    FAIL() << "accepted";
  } catch (const ValdError& error) {
    EXPECT_EQ(error.Message().toStdString(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    MalformedLines, LimitsFileRefuses,
    testing::Values(
        MalformedLine{"# cold room\n*;temperature;2;8\nIOLITE;1;2\n",
                      "limits.csv line 3: expected DEVICE;CHANNEL;LOW;HIGH or "
                      "DEVICE;CHANNEL;LOW;HIGH;DELAY;HYSTERESIS, found 3 fields"},
        MalformedLine{"*;1;2;8;10\n",
                      "limits.csv line 1: expected DEVICE;CHANNEL;LOW;HIGH or "
                      "DEVICE;CHANNEL;LOW;HIGH;DELAY;HYSTERESIS, found 5 fields"},
        MalformedLine{
            "*;1;2;8;-5;\n",
            "limits.csv line 1: DELAY \"-5\" is no number of at least 0 (\".\" before the decimals)"},
        MalformedLine{"*;1;2;8;;0,5\n",
                      "limits.csv line 1: HYSTERESIS \"0,5\" is no number of at least 0 (\".\" before the "
                      "decimals)"},
        MalformedLine{"# IOLITE\nIOLTE;temperature;2;8\n",
                      "limits.csv line 2: \"IOLTE\" is no device type (a host is written in small letters or "
                      "as an address)"},
        MalformedLine{"*;temperature;2,5;8\n",
                      "limits.csv line 1: LOW \"2,5\" is no number (\".\" before the decimals)"},
        MalformedLine{"*;temperature;;warm\n",
                      "limits.csv line 1: HIGH \"warm\" is no number (\".\" before the decimals)"},
        MalformedLine{"*;pressure;1;2\n",
                      "limits.csv line 1: \"pressure\" is no channel number and no quantity (temperature, "
                      "humidity, co2 ...)"},
        MalformedLine{"*;0;1;2\n", "limits.csv line 1: channel 0: the value columns count from 1"},
        MalformedLine{"*;1;;\n", "limits.csv line 1: neither LOW nor HIGH is given"},
        MalformedLine{"\n\n*;1;9;8\n", "limits.csv line 3: LOW is above HIGH"},
        MalformedLine{"cold room;1;2;8\n",
                      "limits.csv line 1: \"cold room\" is no MAC address, host, device type or *"}));

TEST(LimitRules, TheMostSpecificRuleOfAChannelWins) {
  const LimitRules rules = ReadLimitRules(
      "\xEF\xBB\xBF# every device, then narrower\n"
      "*;temperature;-10;30\n"
      "iolite;temperature;0;25   # a type name in any case\n"
      "10.0.0.5;temperature;;20\n"
      "00:1a:2b:3c:4d:5e;temperature;2.5;8;\n"
      "00:1A:2B:3C:4D:5E;humidity;;70\n"
      "10.0.0.5;2;1;\n"
      "*;humidity;;90\n"
      "*;humidity;;95\n",
      QStringLiteral("limits.csv"));
  ASSERT_EQ(rules.Rules().size(), 8u);
  EXPECT_TRUE(rules.NameMacs());
  const DeviceNames known{QStringLiteral("00:1A:2B:3C:4D:5E"), QStringLiteral("10.0.0.5"),
                          QStringLiteral("IOLITE")};
  const DeviceNames byHost{QString(), QStringLiteral("10.0.0.5"), QStringLiteral("IOLITE")};
  const DeviceNames byType{QString(), QStringLiteral("10.0.0.6"), QStringLiteral("IOLITE")};
  const DeviceNames other{QString(), QStringLiteral("10.0.0.6"), QStringLiteral("AGATE")};
  struct Case {
    DeviceNames device;
    int column;
    ChannelLimit limit;
  };
  const Case cases[] = {
      {known, 0, {2.5, 8}},            // MAC over host, type and *
      {known, 6, {std::nullopt, 70}},  // the MAC's humidity
      {byHost, 0, {std::nullopt, 20}},
      {byHost, 1, {1, std::nullopt}},  // the column number over the quantity, the same device named
      {byType, 5, {0, 25}},
      {byType, 11, {std::nullopt, 95}},  // of two alike, the later line
      {other, 0, {-10, 30}},
  };
  for (const Case& c : cases) {
    const DeviceType& type = c.device.type == QLatin1String("AGATE") ? *FindDeviceType(21) : Iolite();
    EXPECT_EQ(rules.LimitOf(c.device, type, c.column), c.limit)
        << c.device.host.toStdString() << " column " << c.column;
  }
  EXPECT_FALSE(
      ReadLimitRules("*;co2;;1000\n", QStringLiteral("l")).LimitOf(other, *FindDeviceType(21), 0).IsSet());
}

TEST(LimitRules, DelayAndHysteresisAreOptional) {
  const LimitRules rules =
      ReadLimitRules("*;1;2;8\n*;2;;8;10;0.5\n*;3;2;;;\n*;4;2;8;15;;\n", QStringLiteral("l"));
  const auto limit = [&](int column) { return rules.LimitOf({}, Iolite(), column); };
  EXPECT_EQ(limit(0).delayMinutes, 0);
  EXPECT_EQ(limit(0).hysteresis, 0);
  EXPECT_EQ(limit(1).delayMinutes, 10);
  EXPECT_EQ(limit(1).hysteresis, 0.5);
  EXPECT_EQ(limit(2).delayMinutes, 0);
  EXPECT_EQ(limit(3).delayMinutes, 15);
}

// A host written with its port names only the device behind that address that answers on it; written
// alone it names every device at the address. Each rule names the devices it matches.
TEST(LimitRules, AHostWithItsPortNamesThatDeviceAlone) {
  const LimitRules rules = ReadLimitRules(
      "127.0.0.24:27262;1;;8\n[::1]:17262;1;;9\n127.0.0.24;2;;10\nlocalhost;1;;11\nIOLITE;co2;;1000\n",
      QStringLiteral("l"));
  const DeviceNames onPort{QString(), QStringLiteral("127.0.0.24"), QStringLiteral("IOLITE"), 27262};
  const DeviceNames otherPort{QString(), QStringLiteral("127.0.0.24"), QStringLiteral("IOLITE"), 6262};
  const DeviceNames ipv6{QString(), QStringLiteral("::1"), QStringLiteral("IOLITE"), 17262};
  EXPECT_EQ(rules.LimitOf(onPort, Iolite(), 0).high, 8);
  EXPECT_FALSE(rules.LimitOf(otherPort, Iolite(), 0).IsSet());
  EXPECT_EQ(rules.LimitOf(ipv6, Iolite(), 0).high, 9);
  EXPECT_EQ(rules.LimitOf(otherPort, Iolite(), 1).high, 10);
  EXPECT_EQ(rules.RulesNaming(onPort, Iolite()), (std::vector<size_t>{0, 2}));
  EXPECT_EQ(rules.RulesNaming(otherPort, Iolite()), std::vector<size_t>{2});
  EXPECT_EQ(rules.Rules()[4].text, QStringLiteral("IOLITE;co2;;1000"));
}

TEST(LimitRules, NoFileIsNoLimits) {
  TempFolder folder;
  EXPECT_TRUE(LoadLimitRules(folder.File(QStringLiteral("limits.csv"))).IsEmpty());
  folder.Write(QStringLiteral("limits.csv"), "*;1;;8\n");
  EXPECT_EQ(LoadLimitRules(folder.File(QStringLiteral("limits.csv"))).Rules().size(), 1u);
}

}  // namespace
