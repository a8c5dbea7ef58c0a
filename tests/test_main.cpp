#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/ScriptedSeam.h"
#include "support/files.h"
#include "toolkit/Forms.h"

namespace {

// Every test starts with no windows and an empty script.
class CleanSlate : public testing::EmptyTestEventListener
{
    void OnTestEnd(const testing::TestInfo &) override
    {
        Forms::unloadAll();
        scripted().reset();
    }
};

} // namespace

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Settings, trash and caches of the tests stay out of the user's folders.
    const QTemporaryDir home;
    if (!startTestProgram(home))
        return 2;
    QApplication app(argc, argv);
    installSeam(std::make_unique<ScriptedSeam>());
    testing::UnitTest::GetInstance()->listeners().Append(new CleanSlate);
    return RUN_ALL_TESTS();
}
