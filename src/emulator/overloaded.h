// One visitor from several lambdas, for std::visit over the stream's commands.
#pragma once

namespace kestrel::emulator {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

}  // namespace kestrel::emulator
