#include "clearingcontrols.h"

#include "widgets/messages.h"

#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

ClearingControls::ClearingControls(const ClearingWidgets& widgets, const QString& settingsPath, QWidget* form)
    : m_w(widgets)
    , m_settingsPath(settingsPath)
    , m_form(form)
{
}

void ClearingControls::setUpLockButtons()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/icons/Lock.ico"), QSize(), QIcon::Normal, QIcon::Off);
    icon.addFile(QStringLiteral(":/icons/icons/Unlock.ico"), QSize(), QIcon::Normal, QIcon::On);
    for (QPushButton* button : {m_w.btnMinLock, m_w.btnMaxLock}) {
        button->setCheckable(true);
        button->setChecked(false);
        button->setIcon(icon);
    }
    for (QLineEdit* field : {m_w.txtMinRTGS, m_w.txtMaxRTGS}) {
        field->setEnabled(false);
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
}

void ClearingControls::readLimits()
{
    m_limits = kova::ClearingLimits::read(m_settingsPath);
}

const kova::ClearingLimits& ClearingControls::limits() const
{
    return m_limits;
}

bool ClearingControls::othersMode() const
{
    return !m_w.rdbWDK->isChecked();
}

bool ClearingControls::takeModeChange()
{
    if (m_appliedOthersMode == othersMode())
        return false;
    m_appliedOthersMode = othersMode();
    return true;
}

void ClearingControls::showLimitWidgets(bool visible)
{
    const QList<QWidget*> widgets{m_w.btnMinLock, m_w.btnMaxLock, m_w.cboOthers, m_w.lblMin,
                                  m_w.lblMax, m_w.txtMinRTGS, m_w.txtMaxRTGS};
    for (QWidget* widget : widgets)
        widget->setVisible(visible);
}

void ClearingControls::clearingChanged(int index)
{
    m_w.txtMinRTGS->setText(kova::limitText(m_limits.minimum(index)));
    m_w.txtMaxRTGS->setText(kova::limitText(m_limits.maximum(index)));
}

void ClearingControls::lockClicked(QObject* sender)
{
    const bool isMin = sender == m_w.btnMinLock;
    if (!isMin && sender != m_w.btnMaxLock)
        return;
    QPushButton* button = isMin ? m_w.btnMinLock : m_w.btnMaxLock;
    QLineEdit* field = isMin ? m_w.txtMinRTGS : m_w.txtMaxRTGS;
    if (button->isChecked()) {
        field->setEnabled(true);
        return;
    }

    const int clearing = m_w.cboOthers->currentIndex();
    const quint64 value = kova::parseLimitText(field->text());
    const QString key = isMin ? kova::minLimitKey(clearing) : kova::maxLimitKey(clearing);
    if (!kova::storeLimit(m_settingsPath, key, value)) {
        // The click has already switched the button off; put it back on so the
        // field stays open and the user can lock again once the file is writable.
        button->setChecked(true);
        Messages::critical(m_form, QStringLiteral("Settings could not be saved"));
        return;
    }
    (isMin ? m_limits.minimum(clearing) : m_limits.maximum(clearing)) = value;
    field->setEnabled(false);
}

void ClearingControls::returnPressed(QObject* sender)
{
    QLineEdit* field = fieldOf(sender);
    if (field)
        field->setText(kova::limitText(kova::parseLimitText(field->text())));
}

bool ClearingControls::saveShownLimits()
{
    if (!othersMode())
        return true;
    const int clearing = m_w.cboOthers->currentIndex();
    const quint64 minimum = kova::parseLimitText(m_w.txtMinRTGS->text());
    const quint64 maximum = kova::parseLimitText(m_w.txtMaxRTGS->text());
    m_limits.minimum(clearing) = minimum;
    m_limits.maximum(clearing) = maximum;
    const bool minStored = kova::storeLimit(m_settingsPath, kova::minLimitKey(clearing), minimum);
    const bool maxStored = kova::storeLimit(m_settingsPath, kova::maxLimitKey(clearing), maximum);
    return minStored && maxStored;
}

QLineEdit* ClearingControls::fieldOf(QObject* sender) const
{
    if (sender == m_w.txtMinRTGS)
        return m_w.txtMinRTGS;
    if (sender == m_w.txtMaxRTGS)
        return m_w.txtMaxRTGS;
    return nullptr;
}
