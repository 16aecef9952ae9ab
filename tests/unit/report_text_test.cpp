#include "ui/report_text.h"

#include <gtest/gtest.h>

TEST(reportText, sizeTextUsesKiloUpToOneMebiAndSinglePrecision) {
  struct Case {
    std::int64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0.00 KO"},
      {1, "0.00 KO"},
      {512, "0.50 KO"},
      {1023, "1.00 KO"},
      {1536, "1.50 KO"},
      {1048576, "1024.00 KO"},
      {1048577, "1.00 MO"},
      {1572864, "1.50 MO"},
      {10958992, "10.45 MO"},
      {5368709120, "5120.00 MO"},
      // 16777217 MiB has no float of its own: single precision gives 16777216.
      {16777217LL * 1048576, "16777216.00 MO"},
      // 0.005 KO lies between two floats; the float below is printed.
      {5, "0.00 KO"},
      {1048576 + 10486, "1.01 MO"},
  };
  for (const Case& c : cases) EXPECT_EQ(sizeText(c.bytes), c.text) << c.bytes;
}

TEST(reportText, countLineSaysFichiersEvenForOne) {
  EXPECT_EQ(countLine(1, 512), "1 fichiers compr\xE9ss\xE9s en 0.50 KO");
  EXPECT_EQ(countLine(70000, 1048577), "70000 fichiers compr\xE9ss\xE9s en 1.00 MO");
}

TEST(reportText, timesShowMinutesAndSecondsOfTheCount) {
  struct Case {
    DateValue seconds;
    const char* minutes;
    const char* secondsText;
  } cases[] = {{0, "00", "00"},    {1, "00", "01"},    {75, "01", "15"},         {125, "02", "05"},
               {3600, "00", "00"}, {3665, "01", "05"}, {61 * 60 + 5, "01", "05"}};
  for (const Case& c : cases) {
    EXPECT_EQ(runningTitle("Sauvegarde", c.seconds),
              std::string("Sauvegarde - ") + c.minutes + " minutes " + c.secondsText + " secondes");
    EXPECT_EQ(compressionTimeLine(c.seconds), std::string("Temps de compr\xE9ssion ") + c.minutes +
                                                  " minutes " + c.secondsText + " secondes");
  }
}

// The box as lines, placed by the rule the window follows, shows the empty
// third line of the report.
TEST(reportText, linePlacementLeavesAnEmptyThirdLine) {
  struct Box {
    std::string text;  // lines separated by CR LF, as the box reads back
    std::int32_t lineCount() const {
      std::int32_t lines = 1;
      for (std::size_t at = text.find("\r\n"); at != std::string::npos;
           at = text.find("\r\n", at + 2)) {
        ++lines;
      }
      return lines;
    }
    void add(std::int32_t position, const std::string& line) {
      ReportInsertion where = reportInsertion(position, lineCount(), text.empty(), line);
      std::size_t at = text.size();
      if (!where.append) {
        at = 0;
        for (std::int32_t n = 0; n < where.line; ++n) at = text.find("\r\n", at) + 2;
      }
      text.insert(at, where.text);
    }
  } box;
  box.add(0, "Source = C:\\Data\\");
  box.add(1, "Cible = D:\\Bak\\Data.Zip");
  box.add(-1, "Temps");
  box.add(-1, "Fin");
  EXPECT_EQ(box.text, "Source = C:\\Data\\\r\nCible = D:\\Bak\\Data.Zip\r\n\r\nTemps\r\nFin");

  struct Case {
    std::int32_t position, lineCount;
    bool empty;
    ReportInsertion insertion;
  } cases[] = {
      {0, 1, true, {false, 0, "x\r\n"}},  {1, 2, false, {false, 1, "x\r\n"}},
      {-1, 3, false, {true, 0, "\r\nx"}}, {-1, 1, true, {true, 0, "x"}},
      {3, 3, false, {true, 0, "\r\nx"}},  // past the last line
      {7, 1, true, {true, 0, "x"}},       {-5, 2, false, {true, 0, "\r\nx"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(reportInsertion(c.position, c.lineCount, c.empty, "x"), c.insertion)
        << c.position << " " << c.lineCount;
  }
}
