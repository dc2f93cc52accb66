#include "Lighting_View.h"

#include <QLabel>
#include <QPushButton>

Lighting_View::Lighting_View(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Lighting_View"));
    resize(914, 560);
    label_Title = new QLabel(this);
    label_Title->setGeometry(114, 40, 600, 30);
    label_Title->setStyleSheet(QStringLiteral("font-family: Arial; font-size: 22px; color: lightgray;"));
    btn_Edit_Cancel = new QPushButton(this);
    btn_Edit_Cancel->setObjectName(QStringLiteral("btn_Edit_Cancel"));
    btn_Edit_Cancel->hide();
    connect(btn_Edit_Cancel, &QPushButton::released, this, &Lighting_View::slotEdit_Cancel);
    updateLanguage_Lighting();
}

void Lighting_View::setSlotNumber(int slotCount, int memoryCount)
{
    m_slotCount = slotCount;
    m_memoryCount = memoryCount;
}

void Lighting_View::slotEdit_Cancel()
{
    btn_Edit_Cancel->hide();
}

void Lighting_View::updatePreview(int, COLORREF *)
{
}

void Lighting_View::updatePreviewList(QList<COLORREF *>)
{
}

void Lighting_View::setRGB(int, COLORREF *, COLORREF, float *, float)
{
}

void Lighting_View::setLighting(int, int, int, int, bool)
{
}

void Lighting_View::setMemorySlotNumber(int, int *)
{
}

void Lighting_View::slot_setProfile(int)
{
}

void Lighting_View::updateLanguage_Lighting()
{
    label_Title->setText(tr("Lighting"));
}
