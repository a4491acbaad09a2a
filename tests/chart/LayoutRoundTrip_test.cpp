// The class library, the XML document and the chart engine's classes through the layout round trip.
#include <gtest/gtest.h>

#include "LayoutRoundTripCheck.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/StandardClasses.h"
#include "xml/DocSimpleXml.h"

using namespace plat;

TEST(LayoutRoundTrip, EveryPublishedEnumerationAndSetComesBackAtEveryValue) {
    TTestDriver driver;
    // What the application registers before it reads layouts: the class library and the XML document.
    RegisterStandardClasses();
    RegisterClass(xml::TDocSimpleXML::StaticClass());
    // The chart's classes register themselves once their units are part of the program.
    const TClassInfo* chartClasses[] = {&chart::TChart::StaticClass(), &chart::TLineSeries::StaticClass(),
                                        &chart::THorizLineSeries::StaticClass(),
                                        &chart::TFastLineSeries::StaticClass()};
    for (const TClassInfo* cls : chartClasses)
        ASSERT_NE(GetClass(cls->Name), nullptr) << cls->Name;

    const layout_round_trip::TCounts counts = layout_round_trip::CheckEveryRegisteredClass();
    // The whole class library and the chart are covered, not a few classes that happened to be linked.
    EXPECT_GE(counts.Classes, 58);
    EXPECT_GT(counts.Checked, 5000);
}
