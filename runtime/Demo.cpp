#include "runtime/Demo.h"

Demo::Demo() : particleScene(1000, 4.0f) {
    // Durations in ms of music; the entries start at about 0, 10700, 12200,
    // 19999, 26378, 31410, 72410 and 92299 ms and the last ends at 123569 ms.
    scheduleList.add(&particleScene, 10700);  // a warm particle cloud
    scheduleList.add(&spriteScene, 1500);     // the title lettering slides in
    scheduleList.add(&particleScene, 7799);   // the cloud again, in blue
    scheduleList.add(&spriteScene, 6379);     // the spinning logo over black
    scheduleList.add(&particleScene, 5032);   // the cloud grows
    scheduleList.add(&objectScene, 41000);    // the title picture and the logo
    scheduleList.add(&tunnelScene, 19889);    // the tunnel
    scheduleList.add(&gridScene, 31270);      // the close
}
