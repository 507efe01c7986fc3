#include "rip/encoder_command.h"

#include <gtest/gtest.h>

namespace {

const std::string kWav = "C:\\Corvale\\temp\\corvale.wav";
const std::string kMp3 = "C:\\My Music\\AC DC - Back  In Black .mp3";

TEST(FillEncoderParameters, QuotedPlaceholdersGetTheBarePathsAndNothingElseChanges) {
  EXPECT_EQ(FillEncoderParameters("-b 192 \"%IN%\" \"%OUT%\"", kWav, kMp3), "-b 192 \"" + kWav + "\" \"" + kMp3 + "\"");
  // Quotes around more than the placeholder still count as its quotes.
  EXPECT_EQ(FillEncoderParameters("\"--out=%OUT%\" -V2", kWav, kMp3), "\"--out=" + kMp3 + "\" -V2");
}

TEST(FillEncoderParameters, UnquotedPlaceholdersAreQuotedSoBlanksAndShellCharactersStayInOneArgument) {
  const std::string title = "C:\\Out\\Me & You (Live) ^2.mp3";
  EXPECT_EQ(FillEncoderParameters("%IN% %OUT%", kWav, title), "\"" + kWav + "\" \"" + title + "\"");
  EXPECT_EQ(FillEncoderParameters("--in=%IN% -o%OUT%", kWav, kMp3), "--in=\"" + kWav + "\" -o\"" + kMp3 + "\"");
  // After a closed pair of quotes the placeholder is outside them again.
  EXPECT_EQ(FillEncoderParameters("--tt \"a b\" %IN% \"%OUT%\"", kWav, kMp3),
            "--tt \"a b\" \"" + kWav + "\" \"" + kMp3 + "\"");
}

TEST(FillEncoderParameters, EveryOccurrenceIsFilledInOnePassAndOnlyExactUpperCasePlaceholders) {
  EXPECT_EQ(FillEncoderParameters("\"%IN%\" \"%IN%\" \"%OUT%\"", kWav, kMp3),
            "\"" + kWav + "\" \"" + kWav + "\" \"" + kMp3 + "\"");
  EXPECT_EQ(FillEncoderParameters("%in% %Out% %IN %OUT", kWav, kMp3), "%in% %Out% %IN %OUT");
  EXPECT_EQ(FillEncoderParameters("--preset standard", kWav, kMp3), "--preset standard");
  // A path that holds a placeholder or a percent sign is taken as it is.
  const std::string odd_wav = "C:\\100% %OUT% \\x.wav";
  const std::string odd_mp3 = "C:\\%IN%\\y.mp3";
  EXPECT_EQ(FillEncoderParameters("\"%IN%\" \"%OUT%\"", odd_wav, odd_mp3), "\"" + odd_wav + "\" \"" + odd_mp3 + "\"");
  // A placeholder cut by a percent sign of the template is no placeholder.
  EXPECT_EQ(FillEncoderParameters("%%IN%%", kWav, kMp3), "%\"" + kWav + "\"%");
}

TEST(FillEncoderParameters, MissingOrEmptyTemplateGivesInputAndOutputInQuotes) {
  const std::string expected = "\"" + kWav + "\" \"" + kMp3 + "\"";
  EXPECT_EQ(FillEncoderParameters(nullptr, kWav, kMp3), expected);
  EXPECT_EQ(FillEncoderParameters("", kWav, kMp3), expected);
  EXPECT_EQ(FillEncoderParameters(kDefaultEncoderTemplate, kWav, kMp3), expected);
}

}  // namespace
