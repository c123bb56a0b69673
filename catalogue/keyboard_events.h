// The keyboard category, generated rather than listed: the id says which key is pressed.
#pragma once

#include "catalogue/event_catalogue.h"

EventCatalogue BuildKeyboardEvents();
