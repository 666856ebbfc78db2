// What the instrument discovery needs of the window that hosts it: a few settings, the status
// text, the instrument list, the loading view, the completion handler and the prompts.
#pragma once

#include "link/kadrel_types.h"
#include "link/port_assoc.h"

#include <QString>

class IPrompts;

// The instrument list: a drop-down list without free text whose entries carry their
// instrument's TKadrelPortAssoc. Changing the selection from here must not run the list's
// change handler; only the user's choice does.
class IDevSelectBox
{
public:
    virtual ~IDevSelectBox() = default;

    virtual int Count() const = 0;
    virtual TKadrelPortAssoc Assoc(int index) const = 0;
    virtual void Add(const QString& text, const TKadrelPortAssoc& assoc) = 0;
    // Removes the entry; what is selected afterwards is set by the caller.
    virtual void Remove(int index) = 0;
    // The selected entry, -1 for none.
    virtual int ItemIndex() const = 0;
    virtual void SetItemIndex(int index) = 0;
    // The text shown in the box: the selected entry's text, empty when none is shown.
    virtual QString Text() const = 0;
    // Shows no entry; none is selected afterwards.
    virtual void ClearText() = 0;
    virtual bool DroppedDown() const = 0;
    virtual void DropDown() = 0;
};

class IDiscoveryHost
{
public:
    virtual ~IDiscoveryHost() = default;

    virtual TLang ConfigLang() const = 0;
    virtual TDimensionType ConfigDimension() const = 0;
    // Whether the records on show are not all from the connected instrument (a file, a merge
    // or an unplugged instrument), so that no instrument replaces them by itself.
    virtual bool IsLoadTypeFile() const = 0;
    virtual void SetLoadTypeFile(bool value) = 0;
    // The language of the window's own texts: 0 Russian, 1 English.
    virtual int CurLang() const = 0;
    // The left panel of the status bar.
    virtual void SetStatusText(const QString& text) = 0;
    virtual IDevSelectBox& DevSelectBox() = 0;
    // Forgets the file names of the open and save dialogs.
    virtual void ClearDialogFileNames() = 0;
    // Hides the tables and shows the progress bar at 0.
    virtual void ShowLoading() = 0;
    // The completion handler every new driver reports to.
    virtual void OperationCompleted(TOperationType op) = 0;
    virtual IPrompts& Prompts() = 0;
};
