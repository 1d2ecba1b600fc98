#pragma once
// The check marks of a group of menu items of which at most one is marked: the
// level items, the face-set items. The mark goes where the game puts it; Qt's
// own toggling of a chosen item is undone before the item's move runs, so the
// marks change only when the game marks another item.

#include <QObject>
#include <vector>

class QAction;

namespace quorvel::shell {

class MenuMarks : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // Makes `item` checkable and one of the group. Add an item before connecting
    // its move, so that the marks are back in place when the move runs.
    void add(QAction* item);
    // Marks `item` and no other item of the group.
    void mark(QAction* item);

  private:
    // The marks as they were last put, whatever Qt toggled.
    void putBack();

    std::vector<QAction*> items_;
    QAction* marked_ = nullptr;
};

}  // namespace quorvel::shell
