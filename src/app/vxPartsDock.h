#pragma once

#include "vxPartsList.h"

#include <QDockWidget>

#include <QImage>

#include <functional>
#include <map>
#include <optional>
#include <vector>

class QLabel;
class QListWidget;
class QToolButton;

// The Parts dock: what a builder picks up. Lists the parts the shown phase
// adds, or those of the whole model, one row per part type and colour with
// its picture, count, name and article number, and the totals. A click on a
// row asks for those parts to be marked in the view.
class vxPartsDock : public QDockWidget {
    Q_OBJECT
  public:
    explicit vxPartsDock(QWidget* parent = nullptr);

    // Takes the lists of a model: the whole model's and every phase's, made
    // once per model so that stepping through the phases walks no parts.
    void setModel(const vxModel& model);
    // Shows the parts the phase adds (the list of the whole model when the
    // whole-model switch is on).
    void showPhase(std::int32_t phase);
    // Where row pictures come from (the part in the parts' colour); without
    // one, or when it gives a null image, the part type's catalogue picture
    // shows with a dot of the parts' colour.
    using PictureSource = std::function<QImage(const vxPartsListEntry&, int pixels)>;
    void setPictureSource(PictureSource source) { m_pictures = std::move(source); }

    // Whether the whole model is listed rather than the phase.
    bool wholeModel() const;
    void setWholeModel(bool whole);

    const std::vector<vxPartsListEntry>& entries() const { return m_entries; }
    QListWidget* list() const { return m_list; }
    QLabel* totals() const { return m_totals; }
    QToolButton* phaseButton() const { return m_phaseButton; }
    QToolButton* wholeButton() const { return m_wholeButton; }

  signals:
    // A row was chosen (nullopt: the choice was cleared).
    void entryChosen(std::optional<vxPartsListEntry> entry);
    void scopeChanged(bool wholeModel);
    // The rows were filled afresh (their pictures drawn).
    void refilled();

  private:
    void refill();

    QListWidget* m_list = nullptr;
    QLabel* m_totals = nullptr;
    QToolButton* m_phaseButton = nullptr;
    QToolButton* m_wholeButton = nullptr;
    PictureSource m_pictures;
    std::int32_t m_phase = 1;
    std::vector<vxPartsListEntry> m_phaseEntries;
    std::map<std::int32_t, std::vector<vxPartsListEntry>> m_phaseLists;
    std::vector<vxPartsListEntry> m_wholeEntries;
    std::vector<vxPartsListEntry> m_entries; // the rows shown
};
