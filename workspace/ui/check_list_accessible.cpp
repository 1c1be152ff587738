#include "workspace/ui/check_list_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QItemSelectionModel>
#include <QListView>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTabWidget>
#include <map>

#include "workspace/ui/check_list_model.h"
#include "workspace/ui/row_delegate.h"

namespace kelvane {
namespace {

bool checked(const QModelIndex& index) { return index.data(Qt::CheckStateRole).toInt() == Qt::Checked; }

// One row. It has no QObject of its own: the list's interface makes it, registers it with Qt's
// accessibility cache (which owns it from then on) and hands out the same one until the rows change.
class CheckRowAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  CheckRowAccessible(QListView* view, const QModelIndex& index) : view_(view), index_(index) {}

  bool isValid() const override { return view_ && index_.isValid(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(view_.data()); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  void setText(QAccessible::Text, const QString&) override {}

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name || !isValid()) return {};
    return RowDelegate::oneLine(index_.data(Qt::DisplayRole).toString());
  }

  QRect rect() const override {
    if (!isValid()) return {};
    const QRect r = view_->visualRect(index_);
    return QRect(view_->viewport()->mapToGlobal(r.topLeft()), r.size());
  }

  QAccessible::State state() const override {
    QAccessible::State s;
    if (!isValid()) {
      s.invalid = true;
      return s;
    }
    s.selectable = true;
    s.focusable = true;
    s.selected = view_->selectionModel() && view_->selectionModel()->isSelected(index_);
    s.focused = view_->hasFocus() && view_->currentIndex() == index_;
    s.active = s.focused;
    s.checkable = (index_.flags() & Qt::ItemIsUserCheckable) != 0;
    s.checked = s.checkable && checked(index_);
    s.offscreen = !view_->viewport()->rect().intersects(view_->visualRect(index_));
    return s;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }

  QStringList actionNames() const override {
    QStringList names{setFocusAction()};
    if (isValid() && (index_.flags() & Qt::ItemIsUserCheckable)) names << toggleAction();
    return names;
  }

  void doAction(const QString& name) override {
    if (!isValid()) return;
    if (name == setFocusAction()) {
      view_->setFocus(Qt::OtherFocusReason);
      view_->setCurrentIndex(index_);
    } else if (name == toggleAction() && (index_.flags() & Qt::ItemIsUserCheckable)) {
      RowDelegate::toggleCheck(view_->model(), index_);
    }
  }

  QStringList keyBindingsForAction(const QString& name) const override {
    return name == toggleAction() ? QStringList{QStringLiteral("Space")} : QStringList{};
  }

 private:
  QPointer<QListView> view_;
  QPersistentModelIndex index_;
};

class CheckListAccessible : public QAccessibleWidget {
 public:
  explicit CheckListAccessible(QListView* view) : QAccessibleWidget(view, QAccessible::List) {
    // Rows that moved or went would answer for the wrong row: they are made again when next asked for.
    QAbstractItemModel* model = view->model();
    const auto drop = [this] { dropRows(); };
    connections_.push_back(QObject::connect(model, &QAbstractItemModel::modelReset, view, drop));
    connections_.push_back(QObject::connect(model, &QAbstractItemModel::layoutChanged, view, drop));
    connections_.push_back(QObject::connect(model, &QAbstractItemModel::rowsInserted, view, drop));
    connections_.push_back(QObject::connect(model, &QAbstractItemModel::rowsRemoved, view, drop));
    connections_.push_back(QObject::connect(model, &QAbstractItemModel::rowsMoved, view, drop));
    // A check mark changed by any means is told to the tools that watch the row.
    connections_.push_back(QObject::connect(
        model, &QAbstractItemModel::dataChanged, view,
        [this](const QModelIndex& first, const QModelIndex& last, const QList<int>& roles) {
          if (!roles.isEmpty() && !roles.contains(Qt::CheckStateRole)) return;
          tellChecked(first.row(), last.row());
        }));
  }
  ~CheckListAccessible() override {
    for (const QMetaObject::Connection& c : connections_) QObject::disconnect(c);
    dropRows();
  }

  QListView* view() const { return static_cast<QListView*>(widget()); }

  int childCount() const override { return view()->model()->rowCount(); }

  QAccessibleInterface* child(int row) const override {
    const QModelIndex index = view()->model()->index(row, 0);
    if (!index.isValid()) return nullptr;
    auto it = rows_.find(row);
    if (it != rows_.end()) {
      if (QAccessibleInterface* known = QAccessible::accessibleInterface(it->second)) return known;
    }
    QAccessibleInterface* made = new CheckRowAccessible(view(), index);
    rows_[row] = QAccessible::registerAccessibleInterface(made);
    return made;
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    for (const auto& [row, id] : rows_) {
      if (QAccessible::accessibleInterface(id) == child) return row;
    }
    return -1;
  }

  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint at = view()->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex index = view()->indexAt(at);
    return index.isValid() ? child(index.row()) : nullptr;
  }

  QAccessibleInterface* focusChild() const override {
    const QModelIndex current = view()->currentIndex();
    return view()->hasFocus() && current.isValid() ? child(current.row()) : nullptr;
  }

  // The list is named by the caption of the tab it fills, unless it was given a name of its own.
  QString text(QAccessible::Text t) const override {
    const QString own = QAccessibleWidget::text(t);
    if (t != QAccessible::Name || !own.isEmpty()) return own;
    for (QWidget* w = view()->parentWidget(); w; w = w->parentWidget()) {
      auto* tabs = qobject_cast<QTabWidget*>(w);
      const int page = tabs ? tabs->indexOf(view()) : -1;
      if (page >= 0) return tabs->tabText(page);
    }
    return own;
  }

 private:
  void dropRows() {
    for (const auto& [row, id] : rows_) {
      if (QAccessible::accessibleInterface(id)) QAccessible::deleteAccessibleInterface(id);
    }
    rows_.clear();
  }

  void tellChecked(int first, int last) {
    if (!QAccessible::isActive()) return;
    QAccessible::State changed;
    changed.checked = true;
    for (int row = std::max(first, 0); row <= last; ++row) {
      QAccessibleStateChangeEvent event(view(), changed);
      event.setChild(row);
      QAccessible::updateAccessibility(&event);
    }
  }

  mutable std::map<int, QAccessible::Id> rows_;
  std::vector<QMetaObject::Connection> connections_;
};

QAccessibleInterface* checkListFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("QListView")) return nullptr;
  auto* view = qobject_cast<QListView*>(object);
  if (!view || !qobject_cast<CheckListModel*>(view->model())) return nullptr;
  return new CheckListAccessible(view);
}

}  // namespace

void installCheckListAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(checkListFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace kelvane
