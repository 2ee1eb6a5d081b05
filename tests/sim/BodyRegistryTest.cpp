#include "HeadlessEngine.h"
#include "sim/BodyRegistry.h"

namespace
{
Body* makeBody(const std::string& section)
{
    return new Body(section, bodyDefinition("Sun", section));
}

TEST(BodyRegistryTest, KeepsRegistrationOrderAndClearsOnce)
{
    BodyRegistry registry;
    registry.clear();
    EXPECT_TRUE(registry.empty());

    registry.add(makeBody("Earth"));
    registry.add(makeBody("Mars"));
    ASSERT_EQ(2u, registry.size());
    EXPECT_EQ("Earth", registry.at(0).sectionName);
    EXPECT_EQ("Mars", registry.at(1).sectionName);
    EXPECT_THROW(registry.at(2), std::out_of_range);

    // Run under the sanitizer build, a second destruction of a body fails here.
    registry.clear();
    EXPECT_EQ(0u, registry.size());
    registry.clear();
    EXPECT_EQ(0u, registry.size());
    registry.add(makeBody("Venus"));
    EXPECT_EQ("Venus", registry.at(0).sectionName);
}

TEST(BodyTest, StepsComeFromPeriods)
{
    const struct
    {
        float period;
        float step;
    } cases[] = {{0.0f, 0.0f}, {1.0f, 1.0f / 60.0f}, {-2.0f, -1.0f / 120.0f}, {0.5f, 1.0f / 30.0f}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.period);
        EXPECT_FLOAT_EQ(c.step, stepForPeriod(c.period));
    }
}
}
