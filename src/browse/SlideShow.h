#pragma once
// The slide show: one picture per tick of the main window's Timer1,
// looping, at a delay of 0.5 to 4 seconds. While the file list window is
// visible each tick moves its title and selection along.
#include <QObject>

class QTimer;
class ViewerContext;

namespace browse {

class ListWindow;

class SlideShow : public QObject {
  Q_OBJECT

 public:
  // Takes over `timer`'s timeout; the timer's interval is the delay.
  SlideShow(ViewerContext& context, QTimer& timer, ListWindow& list);

  bool running() const;
  // Starts with at least two pictures; the first tick comes one delay later.
  void idm_slide();
  void idm_stop();
  // A running show goes on at the new pace; no check mark is set here.
  void setDelay(int milliseconds);
  // Marks the delay item matching the timer (as the Display menu opens).
  void refreshDelayChecks();
  void tick();

 signals:
  void runningChanged(bool running);

 private:
  void setRunning(bool running);

  ViewerContext& context_;
  QTimer& Timer1;
  ListWindow& list_;
};

}  // namespace browse
