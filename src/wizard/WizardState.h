#pragma once

#include "catalog/Edition.h"
#include "export/AllocationLinks.h"
#include "export/AllocationLists.h"
#include "export/ProgressPace.h"
#include "fieldmap/FieldMap.h"
#include "host/OrvoInterfaces.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace expwiz {

// The members the wizard's steps share. Each step reads and writes what it
// owns here, never another step's widgets. Host objects are counted
// references; the wizard drops them when it closes.
struct WizardState {
    // The host's business-logic object, set when the wizard starts.
    std::shared_ptr<orvo::IOrvoBusinessApp> hostApp;
    // Chosen on the Select Assets step.
    std::shared_ptr<orvo::IOrvoDatabase> hostDatabase;
    std::shared_ptr<orvo::IOrvoCompany> hostCompany;
    std::shared_ptr<orvo::IOrvoWritableCompany> hostWritableCompany;
    std::shared_ptr<orvo::IOrvoGroupManager> hostGroupManager;
    std::shared_ptr<orvo::IOrvoGroupList> hostGrouplist;
    std::shared_ptr<orvo::IOrvoGroup> hostGroup;
    std::shared_ptr<orvo::IOrvoBook> hostBook;

    // The field map being edited: its name (empty for a new map), its
    // folder and its full file path.
    QString m_FieldMapSpec;
    QString m_FieldMapPath;
    QString m_FieldMapFilename;
    // The BookID of the book chosen on the Select Map step; none while its
    // list is empty.
    std::optional<int32_t> chosenBookId;
    // "Use Saved Field Map" is chosen on the Select Map step (else "Create New").
    bool useSavedMap = false;
    // The inventory fields are offered (the Select Map step's check box).
    bool includeInventory = false;
    // The map being edited, in column order, with the user's selection.
    FieldMap fieldMap;
    // The ids as last read from or written to the map's file.
    std::vector<int32_t> SavedFieldMap;
    // Position of the first System No entry, or the entry count; set when
    // the map is saved or the Field Map step is left forward.
    int16_t SystemNumberColumn = 0;
    // The export options of the Field Map step.
    bool includeHeader = true;
    bool includeCompany = true;
    // The chosen company's allocation lists (organization editions) and
    // which map fields are allocation fields; kept for the whole run.
    AllocationLists allocationLists;
    AllocationLinks allocationLinks;

    // Full path of the export file.
    QString m_ExportFilename;
    // The user asked the running export to stop.
    bool m_IsExportStop = false;
    // The clock the running export paces its progress by (empty: the
    // monotonic system clock); tests drive the pace with one of their own.
    ProgressPace::Clock exportClock;

    // Decided once per run from the host's edition code, before the
    // window shows; never changes while it is open.
    Edition edition;

    int16_t CurrentStep = 0;
    bool HelpShown = false;
    bool SummaryReached = false;

    std::shared_ptr<orvo::IOrvoAddinManager> AddinManager;
    std::shared_ptr<orvo::IOrvoEnvironment> Environment;
    std::shared_ptr<orvo::IOrvoApplication> HostApplication;
    int32_t RunResult = -1000;
    // ProgramPath + "/" + HelpFileName of the host.
    QString HelpFilePath;
};

} // namespace expwiz
