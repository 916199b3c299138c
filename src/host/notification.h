// Messages to the player: every success and failure report goes through here.
#pragma once

void ShowNotification(const char* text);
