// The script routine the hook runs: start-up once, then one pass per frame.
#pragma once

void ScriptMain();
