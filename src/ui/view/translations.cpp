#include "translations.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>

#include "language.h"

namespace hdd {

namespace {

const char* const kText = "hddSourceText";
const char* const kTip = "hddSourceTip";
const char* const kTitle = "hddSourceTitle";
const char* const kTab = "hddSourceTab";

void applyText(QWidget* w, const QString& source) {
    const QString shown = displayText(source);
    if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(shown);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(shown);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(shown);
    }
}

void retranslateOne(QWidget* w) {
    const QVariant text = w->property(kText);
    if (text.isValid()) applyText(w, text.toString());
    const QVariant tip = w->property(kTip);
    if (tip.isValid()) w->setToolTip(displayText(tip.toString()));
    const QVariant title = w->property(kTitle);
    if (title.isValid()) w->setWindowTitle(displayText(title.toString()));
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        for (int i = 0; i < tabs->count(); ++i) {
            const QVariant tab = tabs->widget(i)->property(kTab);
            if (tab.isValid()) tabs->setTabText(i, displayText(tab.toString()));
        }
    }
}

}  // namespace

bool installChineseTranslations(QCoreApplication&) { return setLanguage(Language::Chinese); }

void showText(QWidget* w, const QString& source) {
    w->setProperty(kText, source);
    applyText(w, source);
}

QLabel* sourceLabel(const QString& source, QWidget* parent) {
    auto* l = new QLabel(parent);
    showText(l, source);
    return l;
}

void showToolTip(QWidget* w, const QString& source) {
    w->setProperty(kTip, source);
    w->setToolTip(displayText(source));
}

void showWindowTitle(QWidget* w, const QString& source) {
    w->setProperty(kTitle, source);
    w->setWindowTitle(displayText(source));
}

void showTabText(QTabWidget* tabs, int index, const QString& source) {
    tabs->widget(index)->setProperty(kTab, source);
    tabs->setTabText(index, displayText(source));
}

void retranslate(QWidget* root) {
    retranslateOne(root);
    for (QWidget* w : root->findChildren<QWidget*>()) retranslateOne(w);
}

}  // namespace hdd
