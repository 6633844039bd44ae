#include "Acessibilidade.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QColor>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace ui {
namespace {

const char* const kTexto = "textoAcessivel";
const char* const kCursor = "cursorAcessivel";
const char* const kFigura = "figuraAcessivel";

// Enter on a focused button presses it, in every window: buttons that are not a dialog's
// default would otherwise let Enter pass to the window, which does nothing with it.
class EnterNoBotao : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* tecla = static_cast<QKeyEvent*>(event);
        if (tecla->key() != Qt::Key_Return && tecla->key() != Qt::Key_Enter) return false;
        if ((tecla->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        auto* botao = qobject_cast<QAbstractButton*>(watched);
        if (!botao || !botao->hasFocus() || !botao->isEnabled()) return false;
        botao->click();
        return true;
    }
};

// The text of a widget as the program last announced it, with its caret.
class TextoDoWidget : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TextoDoWidget(QWidget* w)
        : QAccessibleWidget(w, qobject_cast<QLineEdit*>(w) ? QAccessible::EditableText : QAccessible::StaticText)
    {
    }

    void* interface_cast(QAccessible::InterfaceType tipo) override
    {
        if (tipo == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(tipo);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value) return todo();
        return QAccessibleWidget::text(t);
    }

    void selection(int, int* inicio, int* fim) const override { *inicio = *fim = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return widget()->property(kCursor).toInt(); }
    void setCursorPosition(int) override {}
    QString text(int inicio, int fim) const override { return todo().mid(inicio, fim - inicio); }
    int characterCount() const override { return int(todo().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int deslocamento, int* inicio, int* fim) const override
    {
        *inicio = *fim = deslocamento;
        return QString();
    }

private:
    QString todo() const
    {
        if (widget()->property(kFigura).toBool())
            if (auto* rotulo = qobject_cast<QLabel*>(widget())) return rotulo->text();
        return widget()->property(kTexto).toString();
    }
};

QAccessibleInterface* fabricaTexto(const QString&, QObject* objeto)
{
    if (!objeto->isWidgetType() || !objeto->property(kTexto).isValid()) return nullptr;
    return new TextoDoWidget(static_cast<QWidget*>(objeto));
}

// The focus of a spin box rests on its inner editor: it carries the box's name too.
void nomearEditorDoSpin(QWidget* controle)
{
    if (!qobject_cast<QAbstractSpinBox*>(controle)) return;
    if (auto* editor = controle->findChild<QLineEdit*>()) editor->setAccessibleName(controle->accessibleName());
}

} // namespace

void instalarTeclasDeBotao()
{
    static EnterNoBotao* filtro = nullptr;
    if (filtro || !qApp) return;
    filtro = new EnterNoBotao(qApp);
    qApp->installEventFilter(filtro);
}

void nomear(QWidget* controle, const QString& nome, const QString& descricao)
{
    controle->setAccessibleName(nome);
    if (!descricao.isEmpty()) controle->setAccessibleDescription(descricao);
    nomearEditorDoSpin(controle);
}

void rotular(QLabel* rotulo, QWidget* campo)
{
    rotulo->setBuddy(campo);
    QString nome = rotulo->text().remove(QLatin1Char('&')).trimmed();
    if (nome.endsWith(QLatin1Char(':'))) nome.chop(1);
    campo->setAccessibleName(nome);
    nomearEditorDoSpin(campo);
}

void tornarTextoAcessivel(QWidget* widget)
{
    static const bool instalada = (QAccessible::installFactory(fabricaTexto), true);
    Q_UNUSED(instalada);
    widget->setProperty(kTexto, QString());
    widget->setProperty(kCursor, 0);
}

void nomearFigura(QLabel* figura, const QString& nome)
{
    tornarTextoAcessivel(figura);
    figura->setProperty(kFigura, true);
    figura->setAccessibleName(nome);
}

QString textoAcessivel(const QWidget* widget) { return widget->property(kTexto).toString(); }

void anunciarTexto(QWidget* widget, const QString& texto, int cursor)
{
    const QString antes = textoAcessivel(widget);
    const int cursorAntes = widget->property(kCursor).toInt();
    widget->setProperty(kTexto, texto);
    widget->setProperty(kCursor, cursor);
    // Nothing is built for a screen reader that is not listening: typing stays as fast.
    if (!QAccessible::isActive()) return;
    if (texto != antes) {
        if (texto.startsWith(antes)) {
            QAccessibleTextInsertEvent insercao(widget, int(antes.size()), texto.mid(antes.size()));
            QAccessible::updateAccessibility(&insercao);
        } else {
            QAccessibleTextUpdateEvent troca(widget, 0, antes, texto);
            QAccessible::updateAccessibility(&troca);
        }
    }
    if (cursor != cursorAntes || texto != antes) {
        QAccessibleTextCursorEvent caret(widget, cursor);
        QAccessible::updateAccessibility(&caret);
    }
}

namespace {

double luminancia(const QColor& c)
{
    const auto canal = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * canal(c.redF()) + 0.7152 * canal(c.greenF()) + 0.0722 * canal(c.blueF());
}

} // namespace

double contraste(const QColor& a, const QColor& b)
{
    const double la = luminancia(a), lb = luminancia(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor textoSobre(const QColor& fundo)
{
    return contraste(fundo, Qt::black) >= contraste(fundo, Qt::white) ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace ui
