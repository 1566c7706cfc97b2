#error "The reader core links Qt Core only: Qt Widgets headers are not allowed here."
