# Lays out the sample disc: the programs, the callback library and its host,
# the stand-in programs, the readme, the menu's resources, the intro film and
# the files the callback library installs (those the sample data has).
# Variables: SRC (this folder), DATA (the disc's own generated data tree,
# DISC/data, which the installer engine's file groups copy), DISC (the disc folder),
# RUVO, INSTALLER, LUMAQUILL, TAVRIN, HOST, CONFIRM (the built files).
file(MAKE_DIRECTORY ${DISC}/video ${DISC}/setup ${DISC}/directx ${DISC}/Ereg)
foreach(f setup.exe uninst.exe lisez-moi.txt directx/dxsetup.exe directx/dxmedia.exe Ereg/reg32.exe)
  get_filename_component(dir ${DISC}/${f} DIRECTORY)
  file(COPY ${SRC}/${f} DESTINATION ${dir})
endforeach()
file(COPY ${RUVO} ${INSTALLER} ${LUMAQUILL} ${TAVRIN} ${HOST} ${CONFIRM} DESTINATION ${DISC})
file(COPY ${DATA}/setup/dialog.fon ${DATA}/setup/bitmap129.pcx DESTINATION ${DISC}/setup)
file(COPY ${DATA}/vek/resource/video/intro.mpg DESTINATION ${DISC}/video)
foreach(f frn_.slb ger_.slb text.slb scripts.slb sh_3dh.slb sh_3dx.slb shapes.slb scripts/precedence.csv)
  if(EXISTS ${DATA}/vek/resource/${f})
    file(COPY ${DATA}/vek/resource/${f} DESTINATION ${DISC})
  endif()
endforeach()
# The outside installer engine's own file groups are the disc's data tree
# (DATA), generated afresh from the sources, which the engine copies before
# the callback library adds its archives.
