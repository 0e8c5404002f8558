// The controls raise their events once per change, nested inside the assignment, whether
// code or the user changed them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QTest>
#include <vector>

#include "TestPictures.h"
#include "platform/Form.h"
#include "platform/HandlerGuard.h"
#include "platform/Menu.h"
#include "platform/RuntimeError.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/FileListBox.h"

using namespace platform;

TEST(FileListBox, RaisesClickOncePerSelectionChangeAndReportsAnUntrappedError) {
    testing_support::PictureFolder folder;
    folder.addPicture("b.jpg", 4, 4);
    folder.addPicture("A.JPG", 4, 4);
    folder.addCopy("c.gif", "gif/pillow/transparent.gif");
    Form form("TestForm", 6000, 4000);
    FileListBox list(form, "File1", 0, 0, 3000, 2000);
    std::vector<int> clicks;
    list.onClick = [&] { clicks.push_back(list.ListIndex()); };
    list.setPattern("*.jpg");
    list.setPath(folder.path());
    ASSERT_EQ(list.ListCount(), 2);
    EXPECT_EQ(list.List(0), "A.JPG");
    EXPECT_EQ(list.ListIndex(), -1);

    list.setListIndex(1);
    list.setListIndex(1);  // no change, no event
    EXPECT_EQ(clicks, std::vector<int>({1}));
    EXPECT_EQ(list.FileName(), "b.jpg");

    form.Show();
    list.SetFocus();
    QTest::keyClick(list.widget(), Qt::Key_Home);
    EXPECT_EQ(clicks, std::vector<int>({1, 0}));
    EXPECT_THROW(list.setListIndex(5), RuntimeError);

    // An error no handler trapped: from a key it is reported and the program goes on; assigned
    // from code, it reaches the code that assigned.
    std::vector<int> reported;
    setUnhandledErrorReporter([&](int number, const QString&) { reported.push_back(number); });
    list.onClick = [] { throw RuntimeError(ErrorNumber::PermissionDenied); };
    QTest::keyClick(list.widget(), Qt::Key_Down);
    EXPECT_EQ(reported, std::vector<int>({70}));
    EXPECT_EQ(list.ListIndex(), 1);
    EXPECT_THROW(list.setListIndex(0), RuntimeError);
    setUnhandledErrorReporter(nullptr);

    // A click whose handler selects another entry (a full-screen window opened by the click
    // and moved on by its keys) leaves that entry highlighted, not the one clicked.
    list.onClick = nullptr;
    list.setListIndex(1);
    list.onClick = [&] {
        if (list.ListIndex() == 0)
            list.setListIndex(1);
    };
    auto* view = static_cast<QListView*>(list.widget());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(0, 0)).center());
    EXPECT_EQ(list.ListIndex(), 1);
    const QModelIndexList highlighted = view->selectionModel()->selectedIndexes();
    ASSERT_EQ(highlighted.size(), 1);
    EXPECT_EQ(highlighted.first().row(), 1);

    list.setPath(folder.file("gone"));
    EXPECT_EQ(list.ListCount(), 0);
}

// The menu's shortcuts reach their items from every control: a text field keeps neither
// Ctrl+V nor Del for itself.
TEST(ComboBox, LeavesTheMenusShortcutsToTheMenu) {
    Form form("TestForm", 6000, 4000);
    MenuItem edit(form, "mnuEdit", "&Image");
    MenuItem paste(edit, "mnuPaste", "&Paste", "Ctrl+V");
    MenuItem remove(edit, "mnuDelete", "&Delete", "Del");
    ComboBox box(form, "Sizes", 0, 0, 2000, 300);
    box.setText("Original Size");
    QStringList chosen;
    paste.onClick = [&] { chosen << "paste"; };
    remove.onClick = [&] { chosen << "delete"; };
    form.Show();
    QApplication::setActiveWindow(form.window());
    box.SetFocus();
    QLineEdit* field = static_cast<QComboBox*>(box.widget())->lineEdit();
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen, QStringList({"paste", "delete"}));
    EXPECT_EQ(box.Text(), "Original Size");
    EXPECT_EQ(field->text(), "Original Size");
}

// Text raises Change on every assignment (the same text twice is two changes) and on every
// edit; a choice from the list raises Click. Enter in the text field and leaving the box choose
// nothing from the list, and the focus loss is reported once.
TEST(ComboBox, ChangeForEveryTextClickOnlyForAChoiceFromTheList) {
    Form form("TestForm", 6000, 4000);
    ComboBox box(form, "Filter", 0, 0, 2000, 300);
    ComboBox other(form, "Other", 0, 400, 2000, 300);
    int changes = 0, clicks = 0, focusLosses = 0;
    box.onChange = [&] { ++changes; };
    box.onClick = [&] { ++clicks; };
    box.onLostFocus = [&] { ++focusLosses; };
    box.setText("Two");
    box.setText("Two");
    box.AddItem("One");
    box.AddItem("Two");
    EXPECT_EQ(box.ListIndex(), -1);
    EXPECT_EQ(changes, 2);

    form.Show();
    QApplication::setActiveWindow(form.window());
    box.SetFocus();
    QTest::keyClick(box.widget(), Qt::Key_Return);
    other.SetFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(box.ListIndex(), -1);
    EXPECT_EQ(box.Text(), "Two");
    EXPECT_EQ(focusLosses, 1);
    EXPECT_EQ(changes, 2);

    box.setListIndex(0);  // a choice: Click, no Change
    EXPECT_EQ(box.Text(), "One");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(clicks, 1);
    // Typing leaves no item selected and raises Change for each edit.
    auto* combo = static_cast<QComboBox*>(box.widget());
    QTest::keyClicks(combo->lineEdit(), "x");
    EXPECT_EQ(box.ListIndex(), -1);
    EXPECT_EQ(box.Text(), "Onex");
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(clicks, 1);

    // Text set whole (as assistive technology and dictation set it) is an edit too; a pick
    // from the list rewrites the field without counting as one.
    combo->lineEdit()->setText("/a/folder");
    QCoreApplication::processEvents();
    EXPECT_EQ(box.Text(), "/a/folder");
    EXPECT_EQ(changes, 4);
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(box.Text(), "Two");
    EXPECT_EQ(box.ListIndex(), 1);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(clicks, 2);
}
