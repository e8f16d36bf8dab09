#include "ChangeExplain.h"

#include "RichEdits.h"

#include <QToolButton>
#include <QVBoxLayout>

TfrmChangeExplain::TfrmChangeExplain(QWidget *parent)
    : QWidget(parent),
      m_panel(new QWidget(this)),
      m_save(new QToolButton(m_panel)),
      m_editor(new TRelativeRichEdit(this))
{
    setObjectName(QStringLiteral("frmChangeExplain"));
    QFont frameFont(QStringLiteral("Tahoma"));
    frameFont.setPixelSize(15);
    setFont(frameFont);

    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setFixedHeight(kPanelHeight);

    m_save->setObjectName(QStringLiteral("btnSave"));
    m_save->setText(QStringLiteral("保存"));
    m_save->setAutoRaise(true); // flat until the pointer is over it
    m_save->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_save->setGeometry(1, 1, 65, 23);

    m_editor->setObjectName(QStringLiteral("Editor"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_panel);
    layout->addWidget(m_editor, 1);

    connect(m_editor, &QTextEdit::textChanged, m_save, [this] { m_save->setEnabled(true); });
}
