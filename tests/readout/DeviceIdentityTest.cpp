#include <gtest/gtest.h>

#include "readout/DeviceIdentity.h"

namespace {

struct IdentityCase {
  const char* reply;
  const char* key;
  const char* serial;
  const char* version;
};

class IdentityReply : public testing::TestWithParam<IdentityCase> {};

// A device is known by the MAC address its identity reply starts with, unless that is none of its own
// (all zeros, broadcast): then by its address and device code, as one that gives none. The serial number
// and the firmware version are the second and the fifth field of a reply that starts with a MAC address.
TEST_P(IdentityReply, NamesTheDevice) {
  ReadoutResult result;
  result.host = QStringLiteral("10.0.0.7");
  result.rawImage = QByteArray("\x02\x01", 2);
  result.identity = GetParam().reply;
  EXPECT_EQ(IdentifyDevice(result).key, QString::fromLatin1(GetParam().key));
  const IdentityDetails details = ReadIdentityDetails(result.identity);
  EXPECT_EQ(details.serial, QString::fromLatin1(GetParam().serial));
  EXPECT_EQ(details.version, QString::fromLatin1(GetParam().version));
}

INSTANTIATE_TEST_SUITE_P(
    Replies, IdentityReply,
    testing::Values(IdentityCase{"00:1a:2b:3c:4d:5e;SN1", "00:1A:2B:3C:4D:5E", "SN1", ""},
                    IdentityCase{"00:1A:2B:3C:4D:5E;SN0001;R-17;AGATE;v2.3;c1", "00:1A:2B:3C:4D:5E", "SN0001",
                                 "v2.3"},
                    IdentityCase{"00:1A:2B:3C:4D:5E; ;R-17;AGATE; 2.3 ", "00:1A:2B:3C:4D:5E", "", "2.3"},
                    IdentityCase{"00:1A:2B:3C:4D:5Ex;SN1;R;D;v1", "00:1A:2B:3C:4D:5E", "", ""},
                    IdentityCase{"00:00:00:00:00:00;SN1", "10.0.0.7/2", "SN1", ""},
                    IdentityCase{"ff:ff:ff:ff:ff:ff;SN1", "10.0.0.7/2", "SN1", ""},
                    IdentityCase{"no identity;SN1;R;D;v1", "10.0.0.7/2", "", ""},
                    IdentityCase{"", "10.0.0.7/2", "", ""}));

}  // namespace
