// The manager window's state kept between openings (ManagerMemory).
#include "manager/RMain.h"

#include "manager/ListTable.h"
#include "manager/ManagerMemory.h"

#include <QRadioButton>

void RMain::recallState()
{
    const ManagerMemory memory = ManagerMemory::read();
    SortField = memory.sortField;
    SortDesc = memory.sortDesc;
    ShowFilter = memory.showFilter;
    OptShow[ShowFilter]->setChecked(true);
    List1->setColumnWidths(memory.widths);
    if (memory.geometry) {
        // The frame's size is known once the window is shown; until then a
        // title bar's and a border's worth are kept free around it.
        setGeometry(keptOnScreen(*memory.geometry, kFrameAllowance));
        m_centred = true;
    }
}

void RMain::rememberState() const
{
    ManagerMemory memory;
    memory.geometry = normalGeometry();
    memory.showFilter = ShowFilter;
    memory.sortField = SortField;
    memory.sortDesc = SortDesc;
    memory.widths = List1->columnWidths();
    memory.write();
}
