#ifndef ORVTEST_TESTS_DEFAULTSYSTEM_H
#define ORVTEST_TESTS_DEFAULTSYSTEM_H

#include "TestPaths.h"
#include "config/ConfigFileReading.h"
#include "config/SystemJudge.h"
#include "sim/BodyRegistry.h"

#include <gtest/gtest.h>

#include <string>

// The default system, data/1.cfg, as the viewer reads it: the fixture of the
// tests that hold its bodies against published places and models.
class DefaultSystem : public ::testing::Test
{
protected:
    void SetUp() override
    {
        verdict = judgeSystemText("1.cfg", readConfigText(std::string(ORVTEST_DATA_DIR) + "/1.cfg"), nullptr);
        ASSERT_TRUE(verdict.sound());
    }

    // The body of that Name.
    const Body& body(const std::string& name) const
    {
        for (const auto& owned : *verdict.bodies)
            if (owned->definition.Name == name)
                return *owned;
        ADD_FAILURE() << "no " << name;
        return verdict.bodies->at(0);
    }

    SystemVerdict verdict;
};

#endif
