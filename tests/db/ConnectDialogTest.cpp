// Tests for the Qt connect dialog on the offscreen platform: captions,
// fields, focus, failed attempts shown inline, the third failure.
#include "FakeDriver.h"

#include "db/OraSession.h"
#include "db/gui/ConnectDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "test_db";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication instance(argc, argv);
    return instance;
}

class ConnectDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        session.SetDriver(std::make_shared<FakeDriver>(server));
        session.SetUsername(db::DefaultUsername);
        session.SetServer(db::DefaultServer);
    }
    std::shared_ptr<FakeServer> server = std::make_shared<FakeServer>();
    TOraSession session;
};

TEST_F(ConnectDialogTest, ShowsTheSessionValuesWithPasswordFocused)
{
    TConnectDialogModel model(session);
    TConnectDialog dialog(model);
    EXPECT_EQ(dialog.windowTitle(), "Connect");
    EXPECT_EQ(dialog.UsernameEdit()->text(), "DEMO");
    EXPECT_EQ(dialog.PasswordEdit()->text(), "");
    EXPECT_EQ(dialog.PasswordEdit()->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(dialog.ServerCombo()->isEditable());
    EXPECT_EQ(dialog.ServerCombo()->currentText(), "sandbox");
    EXPECT_EQ(dialog.ServerCombo()->itemText(0), "sandbox");
    EXPECT_EQ(dialog.ConnectButton()->text(), "Connect");
    EXPECT_TRUE(dialog.ConnectButton()->isDefault());
    EXPECT_EQ(dialog.CancelButton()->text(), "Cancel");
    EXPECT_EQ(dialog.focusWidget(), dialog.PasswordEdit());
    EXPECT_EQ(dialog.findChild<QLineEdit*>("edUsername"), dialog.UsernameEdit());

    session.SetUsername("");
    TConnectDialogModel empty(session);
    TConnectDialog second(empty);
    EXPECT_EQ(second.focusWidget(), second.UsernameEdit());
}

TEST_F(ConnectDialogTest, AFailureStaysOpenWithTheMessageThenConnects)
{
    TConnectDialogModel model(session);
    TConnectDialog dialog(model);
    dialog.show();
    dialog.PasswordEdit()->setText("wrong");
    dialog.ConnectButton()->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.ErrorLabel()->isHidden());
    EXPECT_EQ(dialog.ErrorLabel()->text(), "ORA-01017: invalid username/password; logon denied");
    EXPECT_FALSE(session.Connected());
    EXPECT_EQ(session.Password(), "wrong");   // Connect stores what was typed

    dialog.PasswordEdit()->setText("demo");
    dialog.ConnectButton()->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(session.Connected());
}

TEST_F(ConnectDialogTest, TheThirdFailureClosesAsCancelled)
{
    TConnectDialogModel model(session);
    TConnectDialog dialog(model);
    dialog.show();
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(dialog.isVisible()) << "attempt " << i + 1;
        dialog.PasswordEdit()->setText("wrong");
        dialog.ConnectButton()->click();
    }
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(session.Connected());
}

TEST_F(ConnectDialogTest, CancelClosesWithoutConnecting)
{
    TConnectDialogModel model(session);
    TConnectDialog dialog(model);
    dialog.show();
    dialog.CancelButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(server->executed.empty());
    EXPECT_FALSE(session.Connected());
}

} // namespace
