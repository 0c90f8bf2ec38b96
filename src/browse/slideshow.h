#pragma once
// The slide show: one picture per tick of picfrm's Timer1, looping, with a
// delay of 0.5 to 4 seconds chosen in the Slide Delay sub-menu.
class picfrm;

namespace browse {

void idm_slide(picfrm& w);
void idm_stop(picfrm& w);
// Sets the delay; a running show goes on at the new pace.
void setSlideDelay(picfrm& w, int milliseconds);
// Marks the delay item matching the timer (run as the Display menu opens).
void refreshDelayChecks(picfrm& w);
void slideTick(picfrm& w);
// Connects the delay items, the Display menu and the timer.
void wireSlideShow(picfrm& w);

}  // namespace browse
