#pragma once

// The font a sample shows.

#include "widgets/font_sample.h"

namespace tk358::test {

struct FontSampleProbe {
    static QFont Font(const FontSample& sample) { return sample.sampleFont_; }
};

}  // namespace tk358::test
