#include <QTest>
#include <gtest/gtest.h>

#include "toolkit/Forms.h"

namespace {

class TestForm : public Form
{
public:
    static inline int loads, resizes, unloads, cancel;
    void Form_Load() override { ++loads; }
    void Form_Resize() override { ++resizes; }
    void Form_Unload(int &Cancel) override
    {
        ++unloads;
        Cancel = cancel;
    }
};

class OtherForm : public Form
{
};

class FormsTest : public testing::Test
{
protected:
    void SetUp() override { TestForm::loads = TestForm::resizes = TestForm::unloads = 0; }
    void TearDown() override { TestForm::cancel = 0; }
};

} // namespace

TEST_F(FormsTest, GetLoadsOnceCancelKeepsTheFormAndUnloadDestroys)
{
    TestForm &f = Forms::get<TestForm>();
    EXPECT_EQ(&Forms::get<TestForm>(), &f);
    EXPECT_EQ(TestForm::loads, 1);
    EXPECT_FALSE(Forms::loaded<OtherForm>());

    TestForm::cancel = 1;
    EXPECT_FALSE(Forms::unload(&f));
    f.show();
    EXPECT_FALSE(f.close());
    EXPECT_TRUE(f.isVisible() && Forms::loaded<TestForm>());

    TestForm::cancel = 0;
    QPointer<Form> guard(&f);
    EXPECT_TRUE(f.close());
    EXPECT_EQ(TestForm::unloads, 3);
    EXPECT_FALSE(Forms::loaded<TestForm>());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    Forms::get<TestForm>();
    EXPECT_EQ(TestForm::loads, 2);
}

TEST_F(FormsTest, UnloadAllEndsEveryFormWithoutAsking)
{
    QPointer<Form> a(&Forms::get<TestForm>());
    // A form owned by another goes with it, and is deleted only once.
    auto *other = new OtherForm;
    other->setParent(a, Qt::Window);
    Forms::add(typeid(OtherForm), other);
    QPointer<Form> b(other);
    Forms::unloadAll();
    EXPECT_TRUE(a.isNull() && b.isNull());
    EXPECT_EQ(TestForm::unloads, 0);
    EXPECT_FALSE(Forms::loaded<TestForm>() || Forms::loaded<OtherForm>());

    delete &Forms::get<TestForm>();
    EXPECT_FALSE(Forms::loaded<TestForm>());
}

TEST_F(FormsTest, ResizeRunsOncePerChangeOfSizeOrState)
{
    TestForm &f = Forms::get<TestForm>();
    f.setWindowState(1);
    EXPECT_EQ(f.WindowState(), 1);
    f.setWindowState(0);
    f.resize(200, 150);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    const int shown = TestForm::resizes;
    EXPECT_GE(shown, 1);
    f.resize(200, 150);
    EXPECT_EQ(TestForm::resizes, shown);
    f.resize(260, 150);
    EXPECT_EQ(TestForm::resizes, shown + 1);
    f.setWindowState(2);
    EXPECT_TRUE(QTest::qWaitFor([&f] { return f.WindowState() == 2; }, 2000));
    EXPECT_GT(TestForm::resizes, shown + 1);
}
