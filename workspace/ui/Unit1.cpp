#include "workspace/ui/Unit1.h"

#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QCursor>
#include <QIcon>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <utility>

#include "qtcommon/qt_colors.h"
#include "qtcommon/qt_text.h"
#include "settings/ui/EditerUnit.h"
#include "workspace/ui/check_list_model.h"
#include "workspace/ui/command_view.h"
#include "workspace/ui/ui_texts.h"

// The fallback icons live in a static library; their resource must be registered by name.
static void initUiResources() { Q_INIT_RESOURCE(icons); }

namespace kelvane {
namespace {

QIcon commandIcon(const CommandView& view) {
  const QIcon fallback(QStringLiteral(":/kelvane/icons/") + QString::fromLatin1(view.fallbackIcon));
  if (!view.themeIcon) return fallback;
  return QIcon::fromTheme(QString::fromLatin1(view.themeIcon), fallback);
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  initUiResources();
  setObjectName("Form1");
  setWindowTitle(QString::fromUtf8(ui_texts::kTitle));
  setWindowIcon(QIcon(":/kelvane/icons/kelvane.png"));
  ws_ = std::make_unique<Workspace>(*this);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(5000);
  Timer2 = new QTimer(this);
  Timer2->setObjectName("Timer2");
  Timer2->setInterval(150);

  buildCommands();
  buildMenus();
  buildToolBars();
  buildPages();
  buildStatusBar();
  connectHandlers();
  resize(680, 480);

  ws_->setObserver(this);
  run([this] { ws_->FormCreate(); });
  resize(ws_->windowWidth(), ws_->windowHeight());
}

TForm1::~TForm1() {
  ws_->setObserver(nullptr);
  // The models watch the Workspace's lists: they go before the Workspace does.
  for (QListView* v : views_) delete v;
  for (CheckListModel* m : models_) delete m;
}

void TForm1::setSecondaryWindows(TForm2* options, TForm3* about, TForm4* display, TForm5* history) {
  options_ = options;
  about_ = about;
  display_ = display;
  history_ = history;
}

void TForm1::setEditor(TFormEditer* editor) { editor_ = editor; }

QAction* TForm1::action(const std::string& name) const {
  auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

int TForm1::listIndex(ListId id) const {
  switch (id) {
    case ListId::kJoin:
      return 1;
    case ListId::kResult:
      return 2;
    default:
      return 0;  // the target list; the hidden list measures in its font too
  }
}

QListView* TForm1::listView(ListId id) const { return id == ListId::kHidden ? nullptr : views_[listIndex(id)]; }

const ListLook& TForm1::look(ListId id) const { return delegates_[listIndex(id)]->look(); }

// ---- building the window ----

void TForm1::buildCommands() {
  std::map<int, QActionGroup*> groups;
  for (const CommandView& view : kCommandViews) {
    const CommandDef& def = commandDef(view.name);
    auto* a = new QAction(QString::fromUtf8(def.caption), this);
    a->setObjectName(QString::fromLatin1(def.name));
    a->setCheckable(def.checkable);
    if (view.place == CommandPlace::kToolBar) {
      a->setIcon(commandIcon(view));
      a->setToolTip(QString::fromUtf8(def.caption));
    }
    actions_[def.name] = a;
    // The two mode buttons are grouped, as are the two mode menu items: one of each is down.
    if (def.group != 0) {
      QActionGroup*& group = groups[def.group];
      if (!group) group = new QActionGroup(this);
      group->addAction(a);
    }
  }
}

void TForm1::buildMenus() {
  auto addItems = [this](QMenu* menu, CommandPlace place) {
    for (const CommandView& view : kCommandViews) {
      if (view.place != place) continue;
      if (view.separatorBefore) menu->addSeparator();
      menu->addAction(actions_.at(std::string(view.name)));
    }
  };
  for (const MenuDef& m : kMenuTable) addItems(menuBar()->addMenu(QString::fromUtf8(m.caption)), m.place);
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  addItems(PopupMenu1, CommandPlace::kResultPopup);
  PopupMenu2 = new QMenu(this);
  PopupMenu2->setObjectName("PopupMenu2");
  addItems(PopupMenu2, CommandPlace::kTargetPopup);
  PopupMenu3 = new QMenu(this);
  PopupMenu3->setObjectName("PopupMenu3");
  addItems(PopupMenu3, CommandPlace::kJoinPopup);
}

void TForm1::buildToolBars() {
  ToolBar1 = addToolBar(QString::fromUtf8(ui_texts::kMainToolBar));
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setMovable(false);
  ToolBar1->setIconSize(QSize(24, 24));
  ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  for (const CommandView& view : kCommandViews) {
    if (view.place != CommandPlace::kToolBar) continue;
    if (view.separatorBefore) ToolBar1->addSeparator();
    QAction* a = actions_.at(std::string(view.name));
    ToolBar1->addAction(a);
    if (QWidget* w = ToolBar1->widgetForAction(a)) w->setObjectName(a->objectName());
  }
  addToolBarBreak();

  ToolBar2 = addToolBar(QString::fromUtf8(ui_texts::kBoxToolBar));
  ToolBar2->setObjectName("ToolBar2");
  ToolBar2->setMovable(false);
  auto* patternLabel = new QLabel(QString::fromUtf8(ui_texts::kPatternLabel), ToolBar2);
  patternLabel->setObjectName("Label1");
  patternLabel->setContentsMargins(4, 0, 4, 0);
  ComboBox1 = new QComboBox(ToolBar2);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->setEditable(true);
  ComboBox1->setCompleter(nullptr);  // typed text is not completed from the list
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  ComboBox1->setFixedWidth(165);
  ComboBox1->setAttribute(Qt::WA_InputMethodEnabled);
  auto* folderLabel = new QLabel(QString::fromUtf8(ui_texts::kFolderLabel), ToolBar2);
  folderLabel->setObjectName("Label2");
  folderLabel->setContentsMargins(10, 0, 4, 0);
  ComboBox2 = new QComboBox(ToolBar2);
  ComboBox2->setObjectName("ComboBox2");
  ComboBox2->setEditable(false);
  ComboBox2->setFixedWidth(269);
  ComboBox2->setToolTip(QString::fromUtf8(ui_texts::kFolderTip));
  ComboBox2->installEventFilter(this);
  ComboBox1->installEventFilter(this);
  // The history shows below the box while the person types; the list only follows the typing, it
  // never writes into the box by itself. Its model is the box's own, so both always hold the same items.
  patternList_ = new QCompleter(ComboBox1->model(), this);
  patternList_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
  patternList_->setCaseSensitivity(Qt::CaseSensitive);
  patternList_->setWidget(ComboBox1->lineEdit());
  // Installed after the completer's own filter, so this one sees the list's keys first.
  patternList_->popup()->installEventFilter(this);
  // The captions name the boxes for assistive tools too.
  patternLabel->setBuddy(ComboBox1);
  folderLabel->setBuddy(ComboBox2);
  ToolBar2->addWidget(patternLabel);
  ToolBar2->addWidget(ComboBox1);
  ToolBar2->addWidget(folderLabel);
  ToolBar2->addWidget(ComboBox2);
}

QListView* TForm1::makeListView(ListId id, const char* name) {
  const int i = listIndex(id);
  models_[i] = new CheckListModel(ws_->list(id), this);
  delegates_[i] = new RowDelegate(this);
  ListLook look;
  look.font = QFont(id == ListId::kTarget ? "IPAPGothic" : "IPAGothic");
  look.font.setStyleHint(id == ListId::kTarget ? QFont::SansSerif : QFont::Monospace);
  look.font.setPixelSize(16);
  delegates_[i]->setLook(look);
  if (id == ListId::kResult) {
    delegates_[i]->setKind(RowDelegate::Kind::kResult);
    delegates_[i]->setHighlighter([this](int row) -> std::optional<HighlightSpan> {
      const std::optional<Workspace::Highlight> h = ws_->ResultHighlight(row);
      if (!h) return std::nullopt;
      const QColor color = toQColor(h->replaced ? replaceTextColor_ : searchTextColor_, palette(), Qt::red);
      return HighlightSpan{h->position, h->length, color};
    });
  } else if (id == ListId::kJoin) {
    delegates_[i]->setKind(RowDelegate::Kind::kJoin);
    // A row is one line tall when it enters with the flag set, six lines and 5 pixels otherwise.
    models_[i]->setLineSource([this] { return ws_->NextRowSingleLine ? 1 : 6; }, 6);
  }

  auto* v = new QListView;
  v->setObjectName(QString::fromLatin1(name));
  v->setModel(models_[i]);
  v->setItemDelegate(delegates_[i]);
  v->setFont(look.font);
  v->setSelectionMode(QAbstractItemView::SingleSelection);
  v->setEditTriggers(QAbstractItemView::NoEditTriggers);
  v->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  v->setUniformItemSizes(id != ListId::kJoin);
  v->setContextMenuPolicy(Qt::CustomContextMenu);
  v->setFrameShape(QFrame::NoFrame);
  views_[i] = v;
  connectList(id);
  return v;
}

void TForm1::buildPages() {
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  PageControl1->setTabPosition(QTabWidget::South);
  PageControl1->setDocumentMode(true);
  struct Page {
    const char* sheet;
    ListId list;
    const char* listName;
  };
  const Page pages[] = {{"TabSheet3", ListId::kResult, "CheckListBox3"},
                        {"TabSheet1", ListId::kJoin, "CheckListBox2"},
                        {"TabSheet2", ListId::kTarget, "CheckListBox1"}};
  for (int i = 0; i < 3; ++i) {
    QListView* v = makeListView(pages[i].list, pages[i].listName);
    v->setProperty("sheet", QString::fromLatin1(pages[i].sheet));
    PageControl1->addTab(v, toQ(ws_->tabCaption(i)));
  }
  setCentralWidget(PageControl1);
  connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
    if (syncing_) return;
    if (!run([this, index] { ws_->PageControl1Change(index); })) syncFromWorkspace();
  });
}

void TForm1::buildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("StatusBar1");
  bar->setSizeGripEnabled(true);
  statusLabel_ = new QLabel(bar);
  statusLabel_->setObjectName("StatusText");
  statusLabel_->setContentsMargins(4, 0, 4, 0);
  bar->addWidget(statusLabel_, 1);
}

void TForm1::connectList(ListId id) {
  const int i = listIndex(id);
  QListView* v = views_[i];
  CheckListModel* m = models_[i];
  CheckList& list = ws_->list(id);
  connect(v->selectionModel(), &QItemSelectionModel::currentChanged, this, [this, &list](const QModelIndex& cur) {
    if (syncing_) return;
    list.setSelectedIndex(cur.isValid() ? cur.row() : -1);
  });
  connect(m, &QAbstractItemModel::modelReset, this, [this, i, v, m, &list] {
    // Changes made in a batch arrive as one reset, the scroll width among them.
    delegates_[i]->setExtent(list.horizontalExtent());
    // A reset loses the view's current row; give it back the list's selection.
    const int row = list.selectedIndex();
    syncing_ = true;
    if (row >= 0) v->setCurrentIndex(m->index(row));
    if (list.topIndex() > 0) v->scrollTo(m->index(list.topIndex()), QAbstractItemView::PositionAtTop);
    syncing_ = false;
  });
  connect(m, &CheckListModel::selectionChanged, this, [this, v, m](int row) {
    if (syncing_) return;
    syncing_ = true;
    if (row < 0) {
      v->selectionModel()->clear();
    } else {
      v->setCurrentIndex(m->index(row));
    }
    syncing_ = false;
  });
  connect(m, &CheckListModel::topIndexChanged, this,
          [v, m](int row) { v->scrollTo(m->index(row), QAbstractItemView::PositionAtTop); });
  connect(m, &CheckListModel::extentChanged, this, [this, i](int pixels) {
    delegates_[i]->setExtent(pixels);
    views_[i]->doItemsLayout();
  });
  connect(v->verticalScrollBar(), &QScrollBar::valueChanged, this, [this, v, &list] {
    if (syncing_) return;
    const QModelIndex top = v->indexAt(QPoint(1, 1));
    if (top.isValid() && top.row() != list.topIndex()) {
      syncing_ = true;
      list.setTopIndex(top.row());
      syncing_ = false;
    }
  });
  connect(v, &QWidget::customContextMenuRequested, this, [this, id, v](const QPoint& pos) {
    QMenu* menu = id == ListId::kTarget ? PopupMenu2 : id == ListId::kResult ? PopupMenu1 : PopupMenu3;
    const QModelIndex at = v->indexAt(pos);
    if (at.isValid()) v->setCurrentIndex(at);  // the pop-up works on the row under the pointer
    showPopup(id, menu, v->viewport()->mapToGlobal(pos));
  });
  if (id == ListId::kTarget) {
    connect(m, &CheckListModel::checkToggled, this, [this](int) { run([this] { ws_->CheckListBox1ClickCheck(); }); });
  } else if (id == ListId::kResult) {
    connect(m, &CheckListModel::checkToggled, this,
            [this](int row) { run([this, row] { ws_->CheckListBox3ClickCheck(row); }); });
  } else {
    // Rows of several lines change height when they are replaced or moved.
    connect(m, &QAbstractItemModel::dataChanged, v, [v] { v->doItemsLayout(); });
    v->installEventFilter(this);
    v->viewport()->installEventFilter(this);  // the mouse of a drag
  }
  connect(v, &QAbstractItemView::doubleClicked, this, [this, id, v](const QModelIndex& index) {
    // In the result list the second click of a quick double click on a check box is a click on the
    // box, not an open; a target list row opens wherever it is double-clicked.
    const QPoint at = v->viewport()->mapFromGlobal(QCursor::pos());
    QStyleOptionViewItem option;
    option.rect = v->visualRect(index);
    if (id != ListId::kTarget && delegates_[listIndex(id)]->checkRect(option, index).contains(at)) return;
    if (id == ListId::kTarget) run([this] { ws_->CheckListBox1DblClick(); });
    if (id == ListId::kResult) run([this] { ws_->CheckListBox3DblClick(); });
    if (id == ListId::kJoin) run([this] { ws_->CheckListBox2DblClick(); });
  });
}

void TForm1::showPopup(ListId id, QMenu* menu, const QPoint& globalPos) {
  if (busy_) return;
  const bool ready = id == ListId::kTarget   ? run([this] { ws_->PopupMenu2Popup(); })
                     : id == ListId::kResult ? run([this] { ws_->PopupMenu1Popup(); })
                                             : run([this] { ws_->PopupMenu3Popup(); });
  if (ready) menu->popup(globalPos);
}

void TForm1::connectCommand(const CommandDef& def) {
  QAction* a = actions_.at(def.name);
  const CommandHandler handler = def.handler;
  switch (def.run) {
    case CommandRun::kClose:
      connect(a, &QAction::triggered, this, &QWidget::close);
      return;
    case CommandRun::kStop:
      // Runs beside the working handler: it only asks the running search to end.
      connect(a, &QAction::triggered, this, [this, handler] { (ws_.get()->*handler)(); });
      return;
    case CommandRun::kSearch:
    case CommandRun::kHandler:
      if (!handler) return;  // not wired yet
      connect(a, &QAction::triggered, this, [this, handler, search = def.run == CommandRun::kSearch] {
        if (search && !patternUsable()) return;
        if (!run([this, handler] { (ws_.get()->*handler)(); })) syncCommands();
      });
      return;
  }
}

void TForm1::connectHandlers() {
  for (const CommandView& view : kCommandViews) connectCommand(commandDef(view.name));
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, [this] { ws_->StopSearch(); });
  connect(ComboBox2, &QComboBox::activated, this, [this](int index) {
    if (!run([this, index] { ws_->ComboBox2Select(index); })) syncBoxes();
  });
  connect(ComboBox1, &QComboBox::editTextChanged, this, [this](const QString& text) {
    if (!syncing_) ws_->ComboBox1.setEditText(toCp932(text, &patternLossy_));
  });
  connect(ComboBox1, &QComboBox::activated, this, [this](int index) {
    if (!syncing_) patternChosen(index);
  });
  connect(patternList_, qOverload<const QModelIndex&>(&QCompleter::activated), this,
          [this](const QModelIndex& index) { pickFromPatternList(index.row()); });
  connect(Timer1, &QTimer::timeout, this, [this] {
    // The tick only clears the status text, so it also runs while a dialog or a search is working:
    // refused, it would leave the timer running, and the next status text would be cleared early.
    if (busy_ && !closed_) {
      ws_->Timer1Timer();
      syncTimers();
      return;
    }
    run([this] { ws_->Timer1Timer(); });
  });
  connect(Timer2, &QTimer::timeout, this, [this] {
    // Where the pointer is: the held button's last move, which the list gets wherever the pointer goes.
    const std::optional<int> pointerY = dragging_ ? std::optional<int>(dragPointerY_) : std::nullopt;
    run([this, pointerY] { ws_->Timer2Timer(pointerY); });
  });
}

// ---- running handlers and following the Workspace ----

bool TForm1::run(const std::function<void()>& handler) {
  if (busy_ || closed_) return false;
  busy_ = true;
  for (CheckListModel* m : models_) m->setLocked(true);
  try {
    handler();
  } catch (const std::exception& e) {
    showError(e.what());
  } catch (...) {
    showError("?");
  }
  for (CheckListModel* m : models_) m->setLocked(false);
  busy_ = false;
  syncFromWorkspace();
  if (closeRequested_) {
    closeRequested_ = false;
    QTimer::singleShot(0, this, &QWidget::close);
  }
  return true;
}

void TForm1::workspaceChanged() {
  actions_["StopB"]->setEnabled(ws_->SearchRunning());
  // Long work does not return to the event loop: the status text is painted at once.
  const QString text = toQ(ws_->statusText());
  if (statusLabel_ && statusLabel_->text() != text) {
    statusLabel_->setText(text);
    if (statusLabel_->isVisible()) statusLabel_->repaint();
  }
  // A run shows its tab before it asks or works, not only when it returns.
  if (PageControl1 && PageControl1->currentIndex() != ws_->activeTab()) {
    const bool wasSyncing = std::exchange(syncing_, true);
    PageControl1->setCurrentIndex(ws_->activeTab());
    syncing_ = wasSyncing;
  }
}

void TForm1::syncFromWorkspace() {
  syncing_ = true;
  syncCommands();
  syncBoxes();
  for (int i = 0; i < 3; ++i) PageControl1->setTabText(i, toQ(ws_->tabCaption(i)));
  if (PageControl1->currentIndex() != ws_->activeTab()) PageControl1->setCurrentIndex(ws_->activeTab());
  statusLabel_->setText(toQ(ws_->statusText()));
  syncTimers();
  syncing_ = false;
}

void TForm1::syncCommands() {
  for (const auto& [name, state] : ws_->commands()) {
    if (name == "ComboBox1") {
      ComboBox1->setEnabled(state.enabled);
      continue;
    }
    QAction* a = action(name);
    if (!a) continue;
    a->setEnabled(state.enabled);
    a->setVisible(state.visible);
    if (a->isCheckable()) a->setChecked(state.checked || state.down);
  }
  // The stop button follows the run, not a state of the workspace.
  actions_.at("StopB")->setEnabled(ws_->SearchRunning());
}

void TForm1::syncBoxes() {
  const bool wasSyncing = syncing_;
  syncing_ = true;
  auto fill = [](QComboBox* box, const HistoryBox& model) {
    box->clear();
    for (const std::string& item : model.items()) box->addItem(toQ(item));
    box->setCurrentIndex(model.selectedIndex());
  };
  if (ws_->ComboBox1.revision() != box1Revision_) {
    fill(ComboBox1, ws_->ComboBox1);
    ComboBox1->setEditText(toQ(ws_->ComboBox1.editText()));
    box1Revision_ = ws_->ComboBox1.revision();
  }
  if (ws_->ComboBox2.revision() != box2Revision_ || ComboBox2->currentIndex() != ws_->ComboBox2.selectedIndex()) {
    fill(ComboBox2, ws_->ComboBox2);
    box2Revision_ = ws_->ComboBox2.revision();
  }
  syncing_ = wasSyncing;
}

void TForm1::syncTimers() {
  if (ws_->timer1Enabled() != Timer1->isActive()) ws_->timer1Enabled() ? Timer1->start() : Timer1->stop();
  if (ws_->timer2Enabled() != Timer2->isActive()) ws_->timer2Enabled() ? Timer2->start() : Timer2->stop();
}

// ---- keys and close ----

bool TForm1::patternUsable() {
  if (!patternLossy_) return true;
  // A character replaced by "?" would search for something else (and "?" is an operator).
  showMessage(toCp932(QString::fromUtf8(ui_texts::kPatternNotCp932)));
  return false;
}

void TForm1::patternChosen(int index) {
  patternLossy_ = false;  // every entry of the history came from Shift-JIS text
  if (!run([this, index] { ws_->ComboBox1Select(index); })) syncBoxes();
}

void TForm1::patternEntered() {
  if (patternUsable()) run([this] { ws_->ComboBox1KeyPress(13); });
}

void TForm1::pickFromPatternList(int row) {
  patternList_->popup()->hide();
  if (row < 0 || row >= ComboBox1->count()) return;
  ComboBox1->setCurrentIndex(row);  // shows the entry in the box as a choice from the box's own list does
  patternChosen(row);
}

bool TForm1::typesText(const QKeyEvent* key) {
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const QString text = key->text();
  return !text.isEmpty() && text.at(0).isPrint();
}

void TForm1::openPatternList() {
  if (!ComboBox1->isEnabled() || ComboBox1->count() == 0 || patternList_->popup()->isVisible()) return;
  patternList_->complete(ComboBox1->lineEdit()->rect());
  // Nothing is picked until the person moves into the list: Enter alone searches for the typed text.
  patternList_->popup()->selectionModel()->clear();
  patternList_->popup()->setCurrentIndex(QModelIndex());
}

bool TForm1::patternListKey(QKeyEvent* key) {
  const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  if (!enter) return false;  // the completer hands every other key to the box
  QAbstractItemView* popup = patternList_->popup();
  const QModelIndex current = popup->currentIndex();
  const bool picked = current.isValid() && popup->selectionModel()->isSelected(current);
  popup->hide();
  if (picked) {
    pickFromPatternList(current.row());
  } else {
    patternEntered();
  }
  return true;
}

bool TForm1::joinListMouse(QEvent* event) {
  QListView* v = views_[1];
  auto* mouse = static_cast<QMouseEvent*>(event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      dragging_ = false;
      dragPressRow_ = mouse->button() == Qt::LeftButton && ws_->joinListDragEnabled()
                          ? v->indexAt(mouse->position().toPoint()).row()
                          : -1;
      dragPressPos_ = mouse->position().toPoint();
      return false;  // the list selects the pressed row as usual: that row is the one dragged
    case QEvent::MouseMove: {
      if (dragPressRow_ < 0 || !(mouse->buttons() & Qt::LeftButton)) return false;
      const QPoint moved = mouse->position().toPoint() - dragPressPos_;
      if (!dragging_ && moved.manhattanLength() < QApplication::startDragDistance()) return true;
      dragging_ = true;
      dragPointerY_ = mouse->globalPosition().toPoint().y();
      // A drag-over happens only over the list. The list keeps getting the moves of the held button
      // outside too; were they drag-overs, the last one would always be where the pointer rests, and
      // the drag-scroll timer would never scroll while the pointer waits above or below the list.
      if (!v->viewport()->rect().contains(mouse->position().toPoint())) return true;
      run([this] { ws_->CheckListBox2DragOver(dragPointerY_); });
      return true;  // the selection must not follow the pointer
    }
    case QEvent::MouseButtonRelease: {
      dragPressRow_ = -1;
      if (!dragging_) return false;
      dragging_ = false;
      const QModelIndex at = v->indexAt(QPoint(1, mouse->position().toPoint().y()));
      const int target = at.isValid() ? at.row() : -1;
      run([this, target] { ws_->CheckListBox2DragDrop(target); });
      return true;
    }
    default:
      return false;
  }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (views_[1] && watched == views_[1]->viewport() && joinListMouse(event)) return true;
  if (patternList_ && watched == patternList_->popup()) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::ShortcutOverride && key->matches(QKeySequence::Cancel)) {
      // Escape closes the open list; it must not also reach the window's Escape (which stops a search).
      event->accept();
      return true;
    }
    if (event->type() == QEvent::KeyPress && patternListKey(key)) return true;
    return QMainWindow::eventFilter(watched, event);
  }
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == ComboBox1 && typesText(key)) openPatternList();  // the key itself still goes into the box
    if (watched == ComboBox2 && enter) {
      run([this] { ws_->ComboBox2KeyPress(13); });
      return true;
    }
    if (watched == ComboBox1 && enter) {
      // Taken here, so that the box does not also report the entry as chosen.
      patternEntered();
      return true;
    }
  }
  if (event->type() == QEvent::FocusOut && watched == views_[1]) {
    // Opening the list's pop-up menu or switching to another window does not leave the list.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
      run([this] { ws_->CheckListBox2Exit(); });
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (closed_) {
    event->accept();
    return;
  }
  if (busy_) {
    // The running operation finishes first (a search is told to stop); the window closes right after.
    ws_->StopSearch();
    closeRequested_ = true;
    event->ignore();
    return;
  }
  run([this] { ws_->FormClose(width(), height()); });
  closed_ = true;
  if (editor_) editor_->close();
  event->accept();
}

}  // namespace kelvane
