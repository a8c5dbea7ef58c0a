#include <QTest>
#include <gtest/gtest.h>

#include "toolkit/Forms.h"

namespace {

class TestForm : public Form
{
public:
    static inline int loads, resizes, unloads, cancel, made;
    void Form_Load() override { ++loads; }
    // Before the window shows, which then has them.
    void makeControls() override { made += isVisible() ? 100 : 1; }
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
    void SetUp() override
    {
        TestForm::loads = TestForm::resizes = TestForm::unloads = TestForm::made = 0;
    }
    void TearDown() override { TestForm::cancel = 0; }
};

} // namespace

TEST_F(FormsTest, GetLoadsOnceCancelKeepsItUnloadDestroysUnloadAllAsksNoneAndResizeRunsPerChange)
{
    TestForm &f = Forms::get<TestForm>();
    EXPECT_EQ(&Forms::get<TestForm>(), &f);
    EXPECT_EQ(TestForm::loads, 1);
    EXPECT_FALSE(Forms::loaded<OtherForm>());

    // Loaded and hidden, a form has made no controls; its first show makes them, once.
    f.hide();
    EXPECT_EQ(TestForm::made, 0);
    TestForm::cancel = 1;
    EXPECT_FALSE(Forms::unload(&f));
    f.show();
    EXPECT_FALSE(f.close());
    EXPECT_TRUE(f.isVisible() && Forms::loaded<TestForm>());
    f.hide();
    f.show();
    EXPECT_EQ(TestForm::made, 1);

    TestForm::cancel = 0;
    QPointer<Form> guard(&f);
    EXPECT_TRUE(f.close());
    EXPECT_EQ(TestForm::unloads, 3);
    EXPECT_FALSE(Forms::loaded<TestForm>());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    QPointer<Form> a(&Forms::get<TestForm>());
    EXPECT_EQ(TestForm::loads, 2);

    // Unloading all asks no form. A form owned by another goes with it, and is deleted only once.
    auto *other = new OtherForm;
    other->setParent(a, Qt::Window);
    Forms::add(typeid(OtherForm), other);
    QPointer<Form> b(other);
    Forms::unloadAll();
    EXPECT_TRUE(a.isNull() && b.isNull());
    EXPECT_EQ(TestForm::unloads, 3);
    EXPECT_FALSE(Forms::loaded<TestForm>() || Forms::loaded<OtherForm>());

    delete &Forms::get<TestForm>();
    EXPECT_FALSE(Forms::loaded<TestForm>());

    // Resize runs once per change of size or state.
    TestForm::resizes = 0;
    TestForm &g = Forms::get<TestForm>();
    g.setWindowState(1);
    EXPECT_EQ(g.WindowState(), 1);
    g.setWindowState(0);
    g.resize(200, 150);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    const int shown = TestForm::resizes;
    EXPECT_GE(shown, 1);
    g.resize(200, 150);
    EXPECT_EQ(TestForm::resizes, shown);
    g.resize(260, 150);
    EXPECT_EQ(TestForm::resizes, shown + 1);
    g.setWindowState(2);
    EXPECT_TRUE(QTest::qWaitFor([&g] { return g.WindowState() == 2; }, 2000));
    EXPECT_GT(TestForm::resizes, shown + 1);
}
