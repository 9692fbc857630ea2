#include "cli/cli_app.h"
