#include "main_window.h"

#include <QAbstractItemView>
#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

#include "language.h"
#include "main_form_controls.h"
#include "translations.h"

namespace hdd {

using namespace mainform;

namespace {

// The zone tools of the right-hand panel as one compact group under the defect lists: head and
// zone with the cut key, the zone information keys, the LBA conversion. They carry no group name,
// so the generic placement leaves them to this.
void placeZoneTools(FormBinder& b, const FormModel& f, QWidget* panel) {
    if (!f.find(kCutZoneKey)) return;
    auto* g = new QGroupBox(panel);
    showText(g, QStringLiteral("段位信息"));
    auto* grid = new QGridLayout(g);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setSpacing(2);
    // Six columns: label and field, label and field, then a key over two; three keys over two each.
    const struct {
        const char* name;
        int row, labelCol, labelSpan, col, span;
    } cells[] = {{kCutHeadField, 0, 0, 1, 1, 1},  {kCutZoneField, 0, 2, 1, 3, 1},
                 {kCutZoneKey, 0, -1, 0, 4, 2},   {kReloadZonesKey, 1, -1, 0, 0, 2},
                 {kSaveZonesKey, 1, -1, 0, 2, 2}, {kShowZonesKey, 1, -1, 0, 4, 2},
                 {kKbaField, 2, 0, 2, 2, 2},      {kConvertKey, 2, -1, 0, 4, 2}};
    for (const auto& c : cells) {
        const Control* control = f.find(QString::fromLatin1(c.name));
        if (!control) continue;
        if (c.labelCol >= 0)
            grid->addWidget(sourceLabel(control->label, g), c.row, c.labelCol, 1, c.labelSpan);
        grid->addWidget(b.create(control->name, g), c.row, c.col, 1, c.span);
    }
    auto* l = static_cast<QBoxLayout*>(panel->layout());
    l->insertWidget(l->count() - 1, g);
}

}  // namespace

MainWindow::MainWindow(MainModel& model, QWidget* parent)
    : QWidget(parent), model_(model), binder_(model.form()) {
    setObjectName("FrmMain");
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setStyleSheet(
        "QGroupBox{font-weight:bold;border:1px solid "
        "#b8c0c8;border-radius:4px;margin-top:8px;padding-top:4px;}"
        "QGroupBox::title{subcontrol-origin:margin;left:6px;padding:0 2px;}"
        "QPushButton{padding:1px 4px;min-height:20px;}"
        "#Panel2 QPushButton, #Panel6 QPushButton, #Panel2 QLabel, #Panel2 QLineEdit, #Panel2 "
        "QGroupBox{font-size:12px;}");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(2);

    // The menu bar: the interface's language, applied at once.
    auto* bar = new QMenuBar(this);
    bar->setObjectName("menuBar");
    outer->setMenuBar(bar);
    languageMenu_ = bar->addMenu(QString());
    languageMenu_->setObjectName("languageMenu");
    auto* languages = new QActionGroup(languageMenu_);
    // Each language is named in its own words, so that it is found whatever the window speaks.
    for (const auto& [language, name, object] :
         {std::tuple{Language::Chinese, QStringLiteral("中文"), "languageZh"},
          std::tuple{Language::English, QStringLiteral("English"), "languageEn"}}) {
        QAction* a = languageMenu_->addAction(name);
        a->setObjectName(QString::fromLatin1(object));
        a->setCheckable(true);
        a->setData(languageCode(language));
        languages->addAction(a);
        connect(a, &QAction::triggered, this, [this, l = language] { switchLanguage(l); });
    }

    // Top bar, with the keys that stay usable while the panels are off at its right end.
    auto* topRow = new QHBoxLayout;
    topRow->setContentsMargins(0, 0, 6, 0);
    outer->addLayout(topRow);
    QWidget* top = binder_.create(kTopBar, this);
    topRow->addWidget(top, 1);
    auto* tl = new QHBoxLayout(top);
    tl->setContentsMargins(4, 4, 4, 4);
    tl->setSpacing(4);
    tl->addWidget(sourceLabel(QStringLiteral("端口"), top));
    auto* ports = static_cast<QComboBox*>(binder_.create(kPortList, top));
    ports->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ports->setMinimumContentsLength(7);
    ports->installEventFilter(this);  // opening the list reads it again
    tl->addWidget(ports);
    tl->addWidget(sourceLabel(QStringLiteral("波特率"), top));
    tl->addWidget(binder_.create(kBaudList, top));
    tl->addWidget(binder_.create("btnSwitch", top));
    tl->addWidget(binder_.create("ImageOn", top));
    tl->addWidget(binder_.create("ImageOff", top));
    tl->addSpacing(8);
    tl->addWidget(sourceLabel(QStringLiteral("接收区"), top));
    tl->addWidget(binder_.create(kClearConsoleKey, top));
    tl->addWidget(binder_.create(kAutoClearCheck, top));
    tl->addWidget(binder_.create("CheckBoxFast", top));
    tl->addWidget(binder_.create("CheckBoxHex", top));
    tl->addStretch();
    QWidget* abort = binder_.create(kAbortKey, this);
    abort->setStyleSheet("QPushButton{color:#b00;font-weight:bold;}");
    topRow->addWidget(abort);
    topRow->addWidget(binder_.create(kBoardPowerCheck, this));

    // The console, and the defect-list area beside it.
    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(4, 0, 4, 0);
    middle->setSpacing(4);
    outer->addLayout(middle, 1);
    console_ = new ConsoleView(model_.console(), this);
    console_->setPort(&model_.port());
    console_->setMinimumSize(320, 160);
    console_->onSaveAsText = [this] { model_.saveConsoleAs(); };
    middle->addWidget(new ConsolePane(console_, model_.hexTraffic(), model_.form(), this), 1);
    auto* rightColumn = new QVBoxLayout;
    rightColumn->setSpacing(2);
    middle->addLayout(rightColumn);
    auto* heading = sourceLabel(QStringLiteral("缺陷表管理"), this);
    heading->setAlignment(Qt::AlignCenter);
    heading->setStyleSheet("font-weight:bold;");
    rightColumn->addWidget(heading);
    QWidget* right = binder_.create(kRightPanel, this);
    right->setFixedWidth(242);
    auto* rl = new QVBoxLayout(right);
    rl->setContentsMargins(0, 0, 0, 0);
    rl->addStretch();
    rightColumn->addWidget(right, 1);
    // The dialog keys that stay usable while the panels are off.
    auto* dialogKeys = new QHBoxLayout;
    dialogKeys->setSpacing(4);
    for (const char* name : {kBuildFileKey, kHeadSerialsKey}) {
        if (model_.form().find(name)) dialogKeys->addWidget(binder_.create(name, this), 1);
    }
    rightColumn->addLayout(dialogKeys);

    QWidget* ops = binder_.create(kOperationsPanel, this);
    ops->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);  // the console grows, not this
    outer->addWidget(ops);
    auto* ol = new QVBoxLayout(ops);
    ol->setContentsMargins(4, 2, 4, 4);
    ol->setSpacing(3);
    auto* cmdRow = new QHBoxLayout;
    cmdRow->addWidget(sourceLabel(QStringLiteral("命令行"), ops));
    QWidget* cmd = binder_.create("CMD", ops);
    showToolTip(cmd, QStringLiteral("上/下键：历史命令；Shift+Insert：粘贴（Ctrl+V 发给硬盘）"));
    cmd->installEventFilter(this);  // after the binder's filter, so this one sees keys first
    cmd->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(cmd, &QWidget::customContextMenuRequested, this, &MainWindow::commandLineMenu);
    cmdRow->addWidget(cmd, 1);
    cmdRow->addSpacing(10);
    cmdRow->addWidget(sourceLabel(QStringLiteral("发送字节"), ops));
    QWidget* sendByte = binder_.create(kSendByteField, ops);
    sendByte->setFixedWidth(48);
    cmdRow->addWidget(sendByte);
    cmdRow->addWidget(binder_.create(kDecimalOption, ops));
    cmdRow->addWidget(binder_.create(kHexOption, ops));
    cmdRow->addSpacing(10);
    cmdRow->addWidget(sourceLabel(QStringLiteral("读写速率:"), ops));
    cmdRow->addWidget(binder_.create(kTransferSpeedList, ops));
    ol->addLayout(cmdRow);
    // The operation keys, one page per subsystem.
    pages_ = new QTabWidget(ops);
    pages_->setObjectName("opsPages");
    pages_->setDocumentMode(true);
    ol->addWidget(pages_, 1);
    ol->addWidget(binder_.create(kProgressBar, ops));
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(binder_.create("edStatus", ops), 3);
    QWidget* saved = binder_.create("edFile", ops);
    saved->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);  // a long path is cut, not the row
    statusRow->addWidget(saved, 2);
    statusRow->addWidget(binder_.create("edRx", ops), 1);
    statusRow->addWidget(binder_.create("edTx", ops), 1);
    statusRow->addWidget(binder_.create(kResetCountersKey, ops));
    ol->addLayout(statusRow);

    placeControls();
    placeZoneTools(binder_, model_.form(), right);
    installFunctionKeys();
    connect(&model_, &MainModel::captionChanged, this,
            [this](const QString& caption) { setWindowTitle(displayText(caption)); });
    connect(&LanguageNotifier::instance(), &LanguageNotifier::changed, this, &MainWindow::languageChanged);
    connect(&model_, &MainModel::focusRequested, this, [this](const QString& name) {
        if (QWidget* w = binder_.widget(name)) w->setFocus(Qt::OtherFocusReason);
    });
    connect(&model_.form(), &FormModel::changed, this, &MainWindow::refreshGroup);
    languageChanged();
    resize(898, 633);
}

void MainWindow::switchLanguage(Language language) {
    if (language != currentLanguage()) setLanguage(language);
    languageChanged();  // also when the catalogue is missing: the menu shows what is in force
    if (onLanguageChosen) onLanguageChosen(language);
}

void MainWindow::languageChanged() {
    languageMenu_->setTitle(displayText(QStringLiteral("语言")));
    for (QAction* a : languageMenu_->actions())
        a->setChecked(a->data().toString() == languageCode(currentLanguage()));
    retranslate(this);
    polishGroups();
    setWindowTitle(displayText(model_.caption()));
}

void MainWindow::installFunctionKeys() {
    for (const auto& k : MainModel::functionKeys()) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F1 + (k.number - 1)), this);
        shortcut->setContext(Qt::WindowShortcut);
        const QString name = QString::fromLatin1(k.control);
        // A key that is off (the panels during an operation) ignores its function key too.
        connect(shortcut, &QShortcut::activated, this, [this, name] { model_.form().userClick(name); });
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::MouseButtonPress)
        return QWidget::eventFilter(watched, event);
    if (watched == binder_.widget(kPortList)) {
        auto* ports = static_cast<QComboBox*>(watched);
        bool opening = event->type() == QEvent::MouseButtonPress;
        if (event->type() == QEvent::KeyPress) {
            const auto* ke = static_cast<QKeyEvent*>(event);
            opening = ke->key() == Qt::Key_F4 || ke->key() == Qt::Key_Space ||
                      ((ke->modifiers() & Qt::AltModifier) &&
                       (ke->key() == Qt::Key_Down || ke->key() == Qt::Key_Up));
        }
        if (opening && ports->isEnabled()) {
            model_.refreshPorts();
            ports->view()->setMinimumWidth(ports->view()->sizeHintForColumn(0) + 24);
        }
        return false;
    }
    if (watched == binder_.widget("CMD") && event->type() == QEvent::KeyPress) {
        const auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->key() == Qt::Key_Up && ke->modifiers() == Qt::NoModifier) {
            model_.historyPrevious();
            return true;
        }
        if (ke->key() == Qt::Key_Down && ke->modifiers() == Qt::NoModifier) {
            model_.historyNext();
            return true;
        }
        if (ke->key() == Qt::Key_Insert && ke->modifiers() == Qt::ShiftModifier) {
            pasteIntoCommandLine();
            return true;
        }
    }
    return false;
}

void MainWindow::pasteIntoCommandLine() {
    auto* cmd = qobject_cast<QLineEdit*>(binder_.widget("CMD"));
    if (!cmd || !model_.form().isUsable("CMD")) return;
    if (model_.pasteSeveralLines(QGuiApplication::clipboard()->text())) return;
    const QString text = MainModel::commandLinePaste(QGuiApplication::clipboard()->text());
    if (text.isEmpty()) return;
    cmd->insert(text);
    model_.form().userSetText("CMD", cmd->text());
}

void MainWindow::commandLineMenu(const QPoint& pos) {
    auto* cmd = qobject_cast<QLineEdit*>(binder_.widget("CMD"));
    if (!cmd) return;
    QMenu menu(cmd);
    QAction* copy = menu.addAction(displayText(QStringLiteral("复制(&C)")), cmd, &QLineEdit::copy);
    copy->setEnabled(cmd->hasSelectedText());
    QAction* paste =
        menu.addAction(displayText(QStringLiteral("粘贴")), this, &MainWindow::pasteIntoCommandLine);
    paste->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    paste->setShortcutVisibleInContextMenu(true);
    paste->setEnabled(model_.form().isUsable("CMD") && !QGuiApplication::clipboard()->text().isEmpty());
    menu.addSeparator();
    menu.addAction(displayText(QStringLiteral("全选")), cmd, &QLineEdit::selectAll);
    menu.exec(cmd->mapToGlobal(pos));
}

QWidget* MainWindow::pageFor(const QString& page) {
    const QString title = page.isEmpty() ? QStringLiteral("常用") : page;
    if (QWidget* w = pagesByName_.value(title)) return w;
    auto* scroll = new QScrollArea(pages_);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* inner = new QWidget(scroll);
    auto* row = new QHBoxLayout(inner);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(4);
    row->addStretch();
    scroll->setWidget(inner);
    showTabText(pages_, pages_->addTab(scroll, title), title);
    pagesByName_.insert(title, inner);
    return inner;
}

QWidget* MainWindow::boxFor(const Control& c) {
    const QString key = c.panel + "/" + c.page + "/" + c.box;
    if (QWidget* w = boxes_.value(key)) return w;
    QWidget* host = c.panel == kRightPanel ? binder_.widget(c.panel) : pageFor(c.page);
    auto* g = new QGroupBox(host);
    showText(g, c.box);
    auto* grid = new QGridLayout(g);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setSpacing(2);
    grid->setRowStretch(64, 1);  // rows stay at the top of their group
    auto* l = static_cast<QBoxLayout*>(host->layout());
    // Before the closing stretch, at the top: a group is as tall as its contents.
    l->insertWidget(l->count() - 1, g, 0, Qt::AlignTop);
    boxes_.insert(key, g);
    return g;
}

void MainWindow::placeControls() {
    // Each group is a grid of three columns: a field takes a row with its label (a second field
    // without a label joins the row before it, as "RD:" with its size); keys fill rows of three.
    constexpr int cols = 3;
    for (const auto& c : model_.form().controls()) {
        if (binder_.widget(c->name) || c->box.isEmpty() || c->panel.isEmpty()) continue;
        QWidget* box = boxFor(*c);
        boxOf_.insert(c->name, c->panel + "/" + c->page + "/" + c->box);
        auto* grid = static_cast<QGridLayout*>(box->layout());
        QWidget* w = binder_.create(c->name, box);
        // Hexadecimal fields hold a few digits: keep them narrow so a page's groups fit side by side.
        if (c->kind == ControlKind::Edit && c->filter != KeyFilter::Any) w->setMaximumWidth(96);
        const int keys = box->property("keys").toInt();
        const int row = box->property("row").toInt() + (keys + cols - 1) / cols;
        if (c->kind == ControlKind::Button) {
            grid->addWidget(w, box->property("row").toInt() + keys / cols, keys % cols);
            box->setProperty("keys", keys + 1);
            continue;
        }
        auto* previous = box->property("lastField").value<QWidget*>();
        if (c->kind == ControlKind::Edit && (c->label.isEmpty() || c->sameRow) && keys == 0 && previous) {
            // The field joins the row of the one before, with its own label when it has one (the
            // buffer sizes beside their addresses).
            const int at = grid->indexOf(previous);
            int r, col, rs, cs;
            grid->getItemPosition(at, &r, &col, &rs, &cs);
            grid->removeWidget(previous);
            grid->addWidget(previous, r, col, 1, cs - 1);
            if (c->label.isEmpty()) {
                grid->addWidget(w, r, col + cs - 1);
            } else {
                auto* pair = new QWidget(box);
                auto* pl = new QHBoxLayout(pair);
                pl->setContentsMargins(0, 0, 0, 0);
                pl->setSpacing(2);
                pl->addWidget(sourceLabel(c->label, pair));
                w->setParent(pair);
                pl->addWidget(w);
                grid->addWidget(pair, r, col + cs - 1);
            }
            box->setProperty("lastField", QVariant::fromValue<QWidget*>(nullptr));
            continue;
        }
        if (!c->label.isEmpty()) grid->addWidget(sourceLabel(c->label, box), row, 0);
        grid->addWidget(w, row, c->label.isEmpty() ? 0 : 1, 1, c->label.isEmpty() ? cols : cols - 1);
        box->setProperty("row", row + 1);
        box->setProperty("keys", 0);
        box->setProperty("lastField",
                         QVariant::fromValue<QWidget*>(c->kind == ControlKind::Edit ? w : nullptr));
    }
    polishGroups();
}

void MainWindow::polishGroups() {
    for (QWidget* box : std::as_const(boxes_)) {
        int widest = 0;
        const auto keys = box->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
        for (QPushButton* k : keys) widest = qMax(widest, k->sizeHint().width());
        for (QPushButton* k : keys) k->setFixedWidth(widest);
    }
    for (auto it = boxOf_.cbegin(); it != boxOf_.cend(); ++it) refreshGroup(it.key());
}

void MainWindow::refreshGroup(const QString& name) {
    const QString key = boxOf_.value(name);
    QWidget* box = boxes_.value(key);
    if (!box) return;
    bool any = false;
    for (const auto& c : model_.form().controls()) {
        if (c->visible && c->kind != ControlKind::Label && boxOf_.value(c->name) == key) any = true;
    }
    if (box->isHidden() == !any) return;
    box->setVisible(any);
    // A page whose groups are all hidden leaves the tabs.
    for (int i = 0; i < pages_->count(); ++i) {
        auto* scroll = qobject_cast<QScrollArea*>(pages_->widget(i));
        if (!scroll || !scroll->widget()) continue;
        bool shown = false;
        for (QGroupBox* g : scroll->widget()->findChildren<QGroupBox*>(QString(), Qt::FindDirectChildrenOnly))
            shown = shown || !g->isHidden();
        pages_->setTabVisible(i, shown);
    }
}

void MainWindow::showEvent(QShowEvent* e) {
    setWindowTitle(displayText(model_.caption()));
    QWidget::showEvent(e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    model_.closeWindow();
    e->accept();
}

}  // namespace hdd
