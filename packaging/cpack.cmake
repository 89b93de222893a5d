# CPack: one Debian package for each program, dravex and selmex, named after the
# command that starts it. dpkg-shlibdeps (package dpkg-dev) finds the libraries'
# packages; the packages the programs need without linking them are listed here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME powerteaching)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Dravex and Selmex developers <maintainers@powerteaching.invalid>")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL dravex selmex)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_DEBIAN_DRAVEX_PACKAGE_NAME dravex)
set(CPACK_DEBIAN_SELMEX_PACKAGE_NAME selmex)
# The window layouts were made for Liberation Sans's widths.
set(CPACK_DEBIAN_DRAVEX_PACKAGE_DEPENDS fonts-liberation2)
set(CPACK_DEBIAN_SELMEX_PACKAGE_DEPENDS fonts-liberation2)
# Dravex's out-of-step warning plays the theme's "dialog-warning"; without it, a beep.
set(CPACK_DEBIAN_DRAVEX_PACKAGE_RECOMMENDS sound-theme-freedesktop)

set(CPACK_COMPONENT_DRAVEX_DESCRIPTION
"Dravon: transient stability of a generator and the equal-area criterion
Dravon (command dravex) teaches students of electrical power engineering how a
synchronous generator feeding an infinite bus behaves when a three-phase short
circuit hits its busbar, or one of two parallel lines, and is cleared after a
chosen time, with or without reclosing. It steps the swing equation and shows
the speed deviation, the rotor angle, the power-angle curve with the areas A1
and A2, the phase plane and the turning rotor, puts the equal-area criterion and
the simulation's own critical clearing time in numbers, and keeps exercises as
scenario files. User guide and teaching notes in /usr/share/doc/dravex.")
set(CPACK_COMPONENT_SELMEX_DESCRIPTION
"Selmora: connecting a generator to the network
Selmora (command selmex) teaches students of electrical power engineering how to
synchronise a generator with a 380/220 V, 50 Hz network. The network's and the
generator's phasor diagrams turn side by side; sliders and buttons bring the
generator's voltage, frequency, rotation direction and phase order into line,
and the Switch button names every condition that is not met. A synchronising
panel shows a synchroscope, dark lamps and a log of the switchings.")

include(CPack)
