#include <gtest/gtest.h>

#include "operate/PresetApply.h"

namespace {

TEST(PresetApply, ValuesComeIntoTheRangesTheControlsHold) {
  struct Case {
    const char* what;
    void (*set)(PreSettings&);
    int (*get)(const PreSettings&);
    int shown;
  };
  const Case cases[] = {
      {"rate past the list", [](PreSettings& p) { p.RanGenRate = 8; },
       [](const PreSettings& p) { return p.RanGenRate; }, -1},
      {"trigger source past the list", [](PreSettings& p) { p.TriggerSource = 7; },
       [](const PreSettings& p) { return p.TriggerSource; }, -1},
      {"negative source", [](PreSettings& p) { p.TriggerSource = -2; },
       [](const PreSettings& p) { return p.TriggerSource; }, -1},
      {"12-bit delay", [](PreSettings& p) { p.InhibitDelay[1] = 5000; },
       [](const PreSettings& p) { return p.InhibitDelay[1]; }, 4095},
      {"8-bit duration", [](PreSettings& p) { p.InhibitDuration[2] = 256; },
       [](const PreSettings& p) { return p.InhibitDuration[2]; }, 255},
      {"negative delay", [](PreSettings& p) { p.InhibitDelay[0] = -1; },
       [](const PreSettings& p) { return p.InhibitDelay[0]; }, 0},
      {"deskew", [](PreSettings& p) { p.Deskew2 = 240; },
       [](const PreSettings& p) { return p.Deskew2; }, 239},
      {"coarse delay", [](PreSettings& p) { p.CoarDel1 = 16; },
       [](const PreSettings& p) { return p.CoarDel1; }, 15},
  };
  for (const Case& c : cases) {
    PreSettings preset;
    c.set(preset);
    EXPECT_EQ(c.get(PresetAsShown(preset)), c.shown) << c.what;
  }
}

}  // namespace
