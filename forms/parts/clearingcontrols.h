#pragma once

#include "settings/clearing.h"

#include <QString>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QObject;
class QPushButton;
class QRadioButton;
class QWidget;

// The widgets of "Filter By Beneficary Bank" that the transfer and credit
// forms have in common, under the same object names in both.
struct ClearingWidgets
{
    QRadioButton* rdbWDK;
    QRadioButton* rdbOthers;
    QComboBox* cboOthers;   // "LLG", "RTGS", filled by the form
    QLabel* lblMin;
    QLabel* lblMax;
    QLineEdit* txtMinRTGS;
    QLineEdit* txtMaxRTGS;
    QPushButton* btnMinLock;
    QPushButton* btnMaxLock;
};

// The clearing limits under their lock buttons and the beneficiary-bank mode,
// written once for the transfer and credit forms. The forms keep their slots
// (ON_rdbBenefBank_Click with its captions and, in credit, cboWDK;
// ON_cboOthers_Change, ON_btnLock_Click, ON_txtRTGS_EnterKey) and call in
// here. The limit rules themselves live in settings/clearing.h.
class ClearingControls final
{
public:
    ClearingControls(const ClearingWidgets& widgets, const QString& settingsPath, QWidget* form);

    // Construction step: checkable lock buttons, off, with one two-state icon
    // (Lock.ico off = locked, Unlock.ico on = open); limit fields disabled and
    // right-aligned.
    void setUpLockButtons();

    // Read_Settings step: the four limits from the settings file, normalised.
    void readLimits();
    const kova::ClearingLimits& limits() const;

    // Others mode is whatever is not WDK mode: ON_rdbBenefBank_Click looks only
    // at rdbWDK, and everything here agrees with what that slot shows.
    bool othersMode() const;

    // Guard of ON_rdbBenefBank_Click: true when the checked mode is not the one
    // applied last (always so the first time), which it then counts as applied.
    // A click on the mode already checked must change nothing: reshaping the
    // form again would reset the clearing or the WDK choice behind the user's back.
    bool takeModeChange();

    // Shows or hides the lock buttons, cboOthers, both labels and both fields.
    void showLimitWidgets(bool visible);

    // ON_cboOthers_Change: the held limits of the chosen clearing (index 0
    // LLG, anything else RTGS) replace the fields' texts.
    void clearingChanged(int index);

    // ON_btnLock_Click with the slot's sender(). Unlocking opens the field.
    // Locking holds the field's value for the chosen clearing, stores it at
    // once and closes the field; when the settings file cannot be written it
    // shows "Settings could not be saved" and leaves the field open and the
    // held limit as it was, so nothing claims a value that was not stored.
    void lockClicked(QObject* sender);

    // ON_txtRTGS_EnterKey with the slot's sender(): regroups the field's text.
    void returnPressed(QObject* sender);

    // "Save Settings" step, Others mode only: the two shown limits become the
    // held limits of the chosen clearing and are stored. False when the
    // settings file could not be written (the held limits change anyway).
    bool saveShownLimits();

private:
    QLineEdit* fieldOf(QObject* sender) const;

    ClearingWidgets m_w;
    QString m_settingsPath;
    QWidget* m_form;
    kova::ClearingLimits m_limits;
    std::optional<bool> m_appliedOthersMode;
};
