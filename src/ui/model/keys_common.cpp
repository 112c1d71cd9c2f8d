#include "keys.h"
#include "main_model.h"

namespace hdd {

Control& addKey(MainModel& m, const QString& name, const QString& caption, const QString& box,
                std::function<Outcome(MainModel&)> work, const QString& panel) {
    Control& c = m.form().add(name, ControlKind::Button, panel);
    c.caption = caption;
    c.box = box;
    MainModel* mp = &m;
    c.onClick = [mp, work = std::move(work)] {
        mp->runOperation(std::function<Outcome()>([mp, &work] { return work(*mp); }));
    };
    return c;
}

QString describeBytes(const QByteArray& bytes) {
    QStringList parts;
    QByteArray text;
    auto flush = [&] {
        if (!text.isEmpty()) parts << '"' + QString::fromLatin1(text) + '"';
        text.clear();
    };
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F) {
            text += c;
            continue;
        }
        flush();
        const QString code = QStringLiteral("(0x%1)").arg(u, 2, 16, QChar('0')).toUpper().replace("0X", "0x");
        if (u == '\r')
            parts << QStringLiteral("CR");
        else if (u == 0x1B)
            parts << "Esc " + code;
        else if (u >= 1 && u <= 26)
            parts << QStringLiteral("Ctrl-%1 ").arg(QChar('A' + u - 1)) + code;
        else
            parts << code.mid(1, code.size() - 2);
    }
    flush();
    return parts.join(' ');
}

QString sendsHint(const QString& hint, const QByteArray& bytes) {
    const QString sends = QStringLiteral("发送 %1").arg(describeBytes(bytes));
    return hint.isEmpty() ? sends : hint + '\n' + sends;
}

Control& addField(FormModel& f, const QString& name, const QString& label, const QString& box,
                  KeyFilter filter, const QString& panel) {
    Control& c = f.add(name, ControlKind::Edit, panel);
    c.label = label;
    c.box = box;
    c.filter = filter;
    return c;
}

}  // namespace hdd
