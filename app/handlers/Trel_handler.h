// The base of the handlers that carry out the main window's menus.
#pragma once

#include "framework/Fw_classes.h"
#include "framework/Fw_inifiles.h"
#include "support/Vek_command.h"
#include "support/Vek_inifile.h"
#include "support/Vek_listviewmodel.h"


class EHandlerError : public Exception {
public:
    using Exception::Exception;
};

// Gives a handler the three objects that the main window shares between all
// of them: the rows of the list, the owning list of every rename item, and
// the user's undo history. None is owned; the main window outlives every
// handler.
class THandler : public TObject {
public:
    THandler(TListViewModel& model, TObjectList& itemList, TInvoker& invoker)
        : FModel(model), FInvoker(invoker), FItemList(itemList) {}

    // Read or write the handler's keys in the section that the stack names;
    // the stack is left as it was found.
    virtual void LoadSettings(TMemIniFile& iniFile, TIniSection& section) = 0;
    virtual void SaveSettings(TMemIniFile& iniFile, TIniSection& section) = 0;

    TListViewModel& Model() const { return FModel; }
    TInvoker& Invoker() const { return FInvoker; }
    // Owns every rename item created since the start or the last New.
    TObjectList& ItemList() const { return FItemList; }

private:
    TListViewModel& FModel;
    TInvoker& FInvoker;
    TObjectList& FItemList;
};
