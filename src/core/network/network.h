#pragma once

namespace Core {

// What the engine sends through on every tick. Each network is owned by value
// by its application, so the destructor is protected and not virtual: nobody
// deletes a network through this interface.
class Network {
public:
    // Transmits the queued outgoing messages, stamped with the fixed-tick count.
    virtual void send(int fixed_tick_count) = 0;

protected:
    ~Network() = default;
};

}  // namespace Core
