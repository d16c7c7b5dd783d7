// Reading a mapped file that another program truncates meanwhile raises a bus error instead of
// returning fewer bytes. CallCatchingBusErrors runs work(context) and returns false when such an
// error interrupted it: the work is abandoned where it stood, so it must keep everything it
// must release outside its own frames (in `context`) and touch only plain data meanwhile. On
// platforms without mapped reading it simply runs the work and returns true.
#pragma once

bool CallCatchingBusErrors(void (*work)(void* context), void* context);
