// kestrel: the windowed program.
#include "app/shell/kestrel_app.h"

int main(int argc, char** argv) {
    return kestrel::gui::RunKestrel(argc, argv);
}
