function mpc = wscc9bus
% WSCC 3-machine 9-bus system, with Anderson and Fouad's bus numbers (Power System
% Control and Stability, chapter 2, figure 2.18): 60 Hz, 100 MVA base. The same network
% as wscc-9bus.dravex-network beside this file, as a MATPOWER case (version 2) for the
% import: the machines' inertia and transient reactance are not part of a MATPOWER case
% and are filled in after importing (H 23.64, 6.4, 3.01 s and x'd 0.0608, 0.1198,
% 0.1813 pu on the 100 MVA base).
%
% Load flow to compare with the book: bus 1 (slack) 1.04 at 0 deg, P 71.6 MW,
% Q 27.0 Mvar; bus 2 1.025 at 9.3 deg; bus 3 1.025 at 4.7 deg.

%% MATPOWER Case Format : Version 2
mpc.version = '2';

%%-----  Power Flow Data  -----%%
%% system MVA base
mpc.baseMVA = 100;

%% bus data
%	bus_i	type	Pd	Qd	Gs	Bs	area	Vm	Va	baseKV	zone	Vmax	Vmin
mpc.bus = [
	1	3	0	0	0	0	1	1.04	0	16.5	1	1.1	0.9;
	2	2	0	0	0	0	1	1.025	0	18	1	1.1	0.9;
	3	2	0	0	0	0	1	1.025	0	13.8	1	1.1	0.9;
	4	1	0	0	0	0	1	1	0	230	1	1.1	0.9;
	5	1	125	50	0	0	1	1	0	230	1	1.1	0.9;
	6	1	90	30	0	0	1	1	0	230	1	1.1	0.9;
	7	1	0	0	0	0	1	1	0	230	1	1.1	0.9;
	8	1	100	35	0	0	1	1	0	230	1	1.1	0.9;
	9	1	0	0	0	0	1	1	0	230	1	1.1	0.9;
];

%% generator data
%	bus	Pg	Qg	Qmax	Qmin	Vg	mBase	status	Pmax	Pmin	Pc1	Pc2	Qc1min	Qc1max	Qc2min	Qc2max	ramp_agc	ramp_10	ramp_30	ramp_q	apf
mpc.gen = [
	1	71.6	27	300	-300	1.04	247.5	1	250	10	0	0	0	0	0	0	0	0	0	0	0;
	2	163	6.7	300	-300	1.025	192	1	300	10	0	0	0	0	0	0	0	0	0	0	0;
	3	85	-10.9	300	-300	1.025	128	1	270	10	0	0	0	0	0	0	0	0	0	0	0;
];

%% branch data
%	fbus	tbus	r	x	b	rateA	rateB	rateC	ratio	angle	status	angmin	angmax
mpc.branch = [
	1	4	0	0.0576	0	250	250	250	1	0	1	-360	360;
	2	7	0	0.0625	0	250	250	250	1	0	1	-360	360;
	3	9	0	0.0586	0	300	300	300	1	0	1	-360	360;
	4	5	0.01	0.085	0.176	250	250	250	0	0	1	-360	360;
	4	6	0.017	0.092	0.158	250	250	250	0	0	1	-360	360;
	5	7	0.032	0.161	0.306	250	250	250	0	0	1	-360	360;
	6	9	0.039	0.17	0.358	150	150	150	0	0	1	-360	360;
	7	8	0.0085	0.072	0.149	250	250	250	0	0	1	-360	360;
	8	9	0.0119	0.1008	0.209	150	150	150	0	0	1	-360	360;
];
