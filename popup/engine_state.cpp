#include "popup/engine_state.h"

PopupEngineState gPopupEngine;
