#pragma once

#include "common/services.h"

// A port list given by the caller: the demo's simulator, the tests' pseudo-terminals.
class FixedPortList : public PortList
{
public:
    explicit FixedPortList(QStringList names = {}) : names(std::move(names)) {}
    QStringList names;
    QStringList portNames() const override { return names; }
};
