#include "engineering/pipe_schedules.h"

#include <gtest/gtest.h>

namespace {

struct PublishedInside {
  const char* nominal;
  const char* schedule;
  int insideMils;  // the inside diameter the pipe tables print, thousandths of an inch
};

// Inside diameters as the ASME B36.10M and B36.19M tables print them.
const PublishedInside kPublished[] = {
    {"6", "40", 6065}, {"2", "80", 1939},    {"1", "40", 1049},   {"4", "40", 4026},
    {"8", "40", 7981}, {"12", "STD", 12000}, {"6", "160", 5187},  {"2", "XXS", 1503},
    {"6", "5S", 6407}, {"3", "10S", 3260},   {"1/8", "40S", 269}, {"24", "XS", 23000},
};

TEST(PipeSchedules, InsideDiametersAsPublished) {
  for (const PublishedInside& row : kPublished) {
    int found = 0;
    for (const PipeSize& size : ScheduleSizes(row.schedule)) {
      if (size.nominal == row.nominal) found = size.InsideMils();
    }
    EXPECT_EQ(found, row.insideMils) << "NPS " << row.nominal << " schedule " << row.schedule;
  }
}

TEST(PipeSchedules, NamesInAnyLetterCaseAndOnlyListedSizes) {
  EXPECT_EQ(FindSchedule("std"), "STD");
  EXPECT_EQ(FindSchedule("40s"), "40S");
  EXPECT_EQ(ScheduleSizes("XXS").front().nominal, "1/2");  // none below NPS 1/2
  EXPECT_EQ(ScheduleSizes("40").back().nominal, "36");
  EXPECT_EQ(PipeLabel(ScheduleSizes("STD").back()), "NPS 48 STD");
}

}  // namespace
