#include "modes/Strategy.h"

bool TStrategy::Perform(int command, quint8 flags)
{
    Flags = flags;
    Execute(command);
    Flags = 0;
    return false;
}

void TStrategy::Activate()
{
    Attach();
    Show();
}
