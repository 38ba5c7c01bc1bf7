// Random user actions on the whole program over the demo network. The seed is printed;
// ZD_MONKEY_SEED and ZD_MONKEY_ACTIONS replay or lengthen a run, ZD_MONKEY_VERBOSE prints
// every action.
#include "Monkey.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace {

constexpr std::uint64_t kDefaultSeed = 20240611;
constexpr int kDefaultActions = ZD_SANITIZED ? 5000 : 20000;

TEST(Monkey, RandomUserActionsKeepTheProgramConsistent)
{
    const zdmonkey::Options opt = zdmonkey::optionsFromEnvironment(kDefaultSeed, kDefaultActions);
    std::fprintf(stderr, "monkey: seed %llu, %d actions (ZD_MONKEY_SEED, ZD_MONKEY_ACTIONS)\n",
                 static_cast<unsigned long long>(opt.seed), opt.actions);
    zdmonkey::Monkey monkey(opt);
    const bool ok = monkey.run();
    std::fprintf(stderr, "%s", monkey.summary().c_str());
    ASSERT_TRUE(ok) << monkey.failure();
    EXPECT_EQ(monkey.actionsDone(), opt.actions);
}

} // namespace
