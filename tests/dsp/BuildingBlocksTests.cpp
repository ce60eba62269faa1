#include "dsp/Biquad.h"
#include <gtest/gtest.h>
TEST (Biquad, PassesByDefault) { kt::Biquad b; EXPECT_EQ (b.process (0.5f), 0.5f); }
