#pragma once

#include "addin/AddinContext.h"
#include "host/OrvoInterfaces.h"

namespace expwiz {

// The menu command "Custom &Export..." under the company (or, in the
// organization editions, organization) utilities menu.
class ExpWizardMenu : public orvo::IOrvoMenuItem {
public:
    static constexpr int32_t MenuId = 123456;

    explicit ExpWizardMenu(const AddinContext& context);

    void InstalledInto(orvo::ObjectPtr addinManager) override;
    int32_t ID() override { return MenuId; }
    QString Title() override;
    QString Placement() override;
    QString StatusText() override;
    QString Verb() override { return {}; }
    QString Operation() override { return {}; }
    QString Value() override { return {}; }
    int32_t OnClick(const QString& value) override;
    void Terminate() override;
    int32_t SecurityID() override { return 0; }
    bool AvailableInMode(int32_t /*mode*/) override { return true; }
    bool RequiresCompanyClosed() override { return true; }
    orvo::ObjectPtr GUIObject() override { return guiObject_; }
    void SetGUIObject(orvo::ObjectPtr guiObject) override { guiObject_ = std::move(guiObject); }
    bool IsPopup() override { return false; }
    void UpdateMenuItem() override;

private:
    std::shared_ptr<UiServices> ui_;
    LiveObjects::Token token_;
    orvo::ObjectPtr guiObject_;
    std::shared_ptr<orvo::IOrvoAddinManager> addinManager_;
    std::shared_ptr<orvo::IOrvoApplication> hostApplication_;
    bool isOrganizationMode_ = false;
};

} // namespace expwiz
